# The hardening flags a Debian package is expected to carry, for the
# optimised builds. The sanitizer and fuzz builds bring their own
# instrumentation, and _FORTIFY_SOURCE gets in AddressSanitizer's way.
option(VANTREL_HARDEN "Build with the hardening flags (optimised builds)" ON)
if(NOT VANTREL_HARDEN OR VANTREL_SANITIZE OR VANTREL_FUZZ OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  return()
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

# _FORTIFY_SOURCE only works with optimisation, so a Debug build goes without.
set(optimised "$<NOT:$<CONFIG:Debug>>")
add_compile_options(
  -fstack-protector-strong -Wformat -Werror=format-security
  "$<${optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro,-z,now)
unset(optimised)
# Only such a build makes a package worth testing.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(VANTREL_HARDENED ON)
endif()
