# Read by CTest before it runs any test: no test reaches a host off the
# machine. The draw service's built-in sources are switched off (a test that
# wants them points them at loopback imitations itself), and a request still
# made to another host goes to a proxy on a closed loopback port and fails.
set(ENV{ZELKOR_SOURCES} off)
set(ENV{all_proxy} http://127.0.0.1:9)
set(ENV{ALL_PROXY} http://127.0.0.1:9)
set(ENV{no_proxy} 127.0.0.1,localhost)
set(ENV{NO_PROXY} 127.0.0.1,localhost)
