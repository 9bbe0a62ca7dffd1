# What makes the command line a Windows program: its icon and version in the
# file's properties, and a console, so that its output and exit code reach
# cmd.exe or PowerShell (harlune.exe, the window, is a GUI program and opens
# no console). Included from the top level once every program is defined;
# the hook waits for the harlune-cli target and does nothing before it exists.

if(TARGET harlune-cli)
  set(HARLUNE_ICO ${CMAKE_CURRENT_LIST_DIR}/harlune.ico)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/harlune-cli.rc.in ${GENERATED_DIR}/harlune-cli.rc @ONLY)
  target_sources(harlune-cli PRIVATE ${GENERATED_DIR}/harlune-cli.rc)
  set_target_properties(harlune-cli PROPERTIES WIN32_EXECUTABLE OFF)
endif()
