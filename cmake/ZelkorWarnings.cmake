# Strict warnings for the project's own targets. Third-party headers come in
# as system includes, so their warnings do not fail our build.
function(zelkor_strict target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor -Werror
    # The analyses depend on every double operation rounding on its own.
    -ffp-contract=off)
endfunction()
