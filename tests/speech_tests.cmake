# The speech tests: the routes, and the system's back-ends against a private
# speech-dispatcher and session bus (tools/speech_services.sh). They share
# those services, so they run one at a time.
file(GLOB SPEECH_TEST_SOURCES CONFIGURE_DEPENDS speech_*_test.cpp)
add_executable(tinkerhold_speech_tests ${SPEECH_TEST_SOURCES} rig.cpp speech_rig.cpp)
target_link_libraries(tinkerhold_speech_tests PRIVATE tinkerhold_platform tinkerhold_harness tinkerhold_speechd GTest::gtest
                                                      GTest::gtest_main)
if(TINKERHOLD_SYSTEM_SPEECH)
  set(SPEECH_ON 1)
  add_executable(orca_standin orca_standin.cpp)
  target_link_libraries(orca_standin PRIVATE PkgConfig::SDBUS)
  add_dependencies(tinkerhold_speech_tests orca_standin)
  set(ORCA_STANDIN_EXE "$<TARGET_FILE:orca_standin>")
else()
  set(SPEECH_ON 0)
  set(ORCA_STANDIN_EXE "")
endif()
target_compile_definitions(tinkerhold_speech_tests PRIVATE
  TINKERHOLD_EXE="$<TARGET_FILE:tinkerhold>"
  TINKERHOLD_PROGRAM_DIR="${TINKERHOLD_PROGRAM_DIR}"
  TINKERHOLD_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  TINKERHOLD_SYSTEM_SPEECH=${SPEECH_ON}
  TINKERHOLD_SYSTEM_BRAILLE=$<BOOL:${TINKERHOLD_SYSTEM_BRAILLE}>
  ORCA_STANDIN="${ORCA_STANDIN_EXE}")
add_dependencies(tinkerhold_speech_tests tinkerhold)
gtest_discover_tests(tinkerhold_speech_tests WORKING_DIRECTORY "${CMAKE_BINARY_DIR}" DISCOVERY_TIMEOUT 60
                     PROPERTIES RESOURCE_LOCK speech_services)
