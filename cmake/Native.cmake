# The native build: the portable core against the simulated machine, with
# GoogleTest and the address and undefined-behaviour sanitizers.
option(PELMORA_SANITIZE "Build the native tests with ASan and UBSan" ON)
if(PELMORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
find_package(GTest REQUIRED)
enable_testing()

# Product code compiles with the same language limits as in the PE builds,
# so a construct that would not build there fails here first.
function(pelmora_product_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti
                                           -fno-threadsafe-statics)
endfunction()
