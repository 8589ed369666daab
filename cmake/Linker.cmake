# lld links a program in about a third of the time the default linker takes
# (the test programs carry full debug information); without it the default
# linker is used.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld MARKOGRAPH_HAVE_LLD)
if(MARKOGRAPH_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()
