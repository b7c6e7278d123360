# The game's word list: words.txt of the npm package word-list 4.1.0. The
# set-up fetches it (scripts/fetch-words.sh) and names it here; a build
# configured by hand fetches it the same way. It is copied into the build as
# share/wordmoot/words.txt beside bin/, the layout of an installation, so the
# programs find it there in both. WORDMOOT_WORDS=OFF, or a list that cannot
# be fetched, builds without it: the server then falls back to
# /usr/share/dict/words.
set(WORDMOOT_WORDS "" CACHE STRING
    "The game's word list (words.txt of word-list 4.1.0); empty to fetch it, OFF for none")

set(wordmoot_words ${WORDMOOT_WORDS})
if(wordmoot_words STREQUAL "")
    execute_process(COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/fetch-words.sh
                    OUTPUT_VARIABLE wordmoot_words OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE fetch_failed)
    if(fetch_failed)
        set(wordmoot_words OFF)
    endif()
endif()

set(WORDMOOT_SHARE ${CMAKE_BINARY_DIR}/share/wordmoot)
if(wordmoot_words AND NOT EXISTS ${wordmoot_words})
    message(FATAL_ERROR "WORDMOOT_WORDS: no such file: ${wordmoot_words}")
endif()
if(wordmoot_words)
    message(STATUS "Word list: ${wordmoot_words}")
    configure_file(${wordmoot_words} ${WORDMOOT_SHARE}/words.txt COPYONLY)
    get_filename_component(words_folder ${wordmoot_words} DIRECTORY)
    if(EXISTS ${words_folder}/license)
        configure_file(${words_folder}/license ${WORDMOOT_SHARE}/word-list.LICENSE COPYONLY)
    endif()
else()
    message(STATUS "Word list: none; the server falls back to /usr/share/dict/words")
    file(REMOVE ${WORDMOOT_SHARE}/words.txt ${WORDMOOT_SHARE}/word-list.LICENSE)
endif()
