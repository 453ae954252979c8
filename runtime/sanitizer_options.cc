// Settings for builds with AddressSanitizer and UndefinedBehaviorSanitizer,
// compiled into every program of such a build so that tests, the window and
// the tools behave alike however they are started. The environment's
// ASAN_OPTIONS and UBSAN_OPTIONS still override them.

// An allocation that cannot be served must reach the program as
// std::bad_alloc, as it does without the sanitizer: the program reports it
// and names the size.
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1:detect_stack_use_after_return=1:check_initialization_order=1";
}

// Undefined behaviour is a fault: stop at the first report, with a stack.
extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

// Leaks the sanitizer finds at exit in system libraries that keep state for
// the life of the process and free it only on request: fontconfig's font
// sets, and the D-Bus connection Qt opens on the desktop's session bus. A
// process that ends without that request leaves them allocated; they are not
// memory of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
