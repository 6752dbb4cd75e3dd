# Renders the shared metafile corpus with the picture tool and compares each
# file with its reference render; fails on any file below its recorded floor.
if(TARGET neridal-tool AND EXISTS ${NERIDAL_SHARED_DIR}/corpus/metafiles)
    add_test(NAME metafile_corpus
        COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/corpus_check.py
            --tool $<TARGET_FILE:neridal-tool>
            --shared ${NERIDAL_SHARED_DIR}
            --floors ${CMAKE_CURRENT_LIST_DIR}/corpus_floors.tsv
            --out ${CMAKE_BINARY_DIR}/corpus-renders)
    set_tests_properties(metafile_corpus PROPERTIES
        LABELS slow
        TIMEOUT 1200
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8")
endif()
