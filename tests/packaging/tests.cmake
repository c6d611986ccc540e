# The Debian package, made from the finished build and checked as a user's system sees it. The
# sanitizer build leaves it out: its programs are not what a package ships.
if(DARV_GUI AND NOT DARV_SANITIZE)
    add_test(NAME package_check
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-package.sh ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR}
                ${DARV_APP_ID} ${PROJECT_VERSION})
    set_tests_properties(package_check PROPERTIES LABELS package ENVIRONMENT "TZ=Europe/Berlin" TIMEOUT 300)
endif()
