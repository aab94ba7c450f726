# CopySampleData.cmake: copies the game data another build made (FROM) into
# this build's game folder (TO), leaving out that build's program. Files
# already there with the same time stamp are not copied again.
if(NOT EXISTS "${FROM}/Lanternfield.bin")
  message(FATAL_ERROR "${FROM} holds no game data: make it with a build that has the tools")
endif()
file(COPY "${FROM}/" DESTINATION "${TO}" PATTERN lanternfield EXCLUDE)
