# The brute-force move generator and the self-play positions, shared by the
# tests of the rules and the robot benchmark: whichever is configured first
# defines it.
if(NOT TARGET wordmoot_rules_support)
    set(support ${CMAKE_SOURCE_DIR}/tests/rules/support)
    add_library(wordmoot_rules_support STATIC
        ${support}/BruteForce.cpp ${support}/BruteForce.h
        ${support}/Positions.cpp ${support}/Positions.h)
    target_link_libraries(wordmoot_rules_support PUBLIC wordmoot_rules PRIVATE wordmoot_warnings)
    target_include_directories(wordmoot_rules_support PUBLIC ${support})
endif()
