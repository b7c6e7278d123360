# The brute-force move generator and the self-play positions, shared by the
# robot's tests and the robot benchmark: whichever is configured first
# defines it.
if(NOT TARGET wordmoot_robot_support)
    set(support ${CMAKE_SOURCE_DIR}/tests/robot/support)
    add_library(wordmoot_robot_support STATIC
        ${support}/BruteForce.cpp ${support}/BruteForce.h
        ${support}/Positions.cpp ${support}/Positions.h)
    target_link_libraries(wordmoot_robot_support PUBLIC wordmoot_robot PRIVATE wordmoot_warnings)
    target_include_directories(wordmoot_robot_support PUBLIC ${support})
endif()
