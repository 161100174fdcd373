# Helpers shared by every library, test and benchmark target.
include_guard(GLOBAL)

function(olm_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual)
    if(OLM_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(OLM_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# olm_library(NAME DIR [DEPS ...]): a library made of every .cpp under DIR (recursively),
# with its headers installed under their source-relative path. New files are picked up
# without editing CMake (CONFIGURE_DEPENDS).
function(olm_library name dir)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${dir}/*.h)
    if(sources)
        add_library(${name} STATIC ${sources})
        olm_set_warnings(${name})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
        target_include_directories(${name} PUBLIC
            $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
        set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
        target_include_directories(${name} INTERFACE
            $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    endif()
    add_library(OLMCalendar::${name} ALIAS ${name})
    install(TARGETS ${name} EXPORT OLMCalendarTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
    # Headers under a detail/ directory are internal (some wrap ICU or Pango): they are
    # installed only when an installed header needs them (see olm_install_detail_headers).
    foreach(h IN LISTS headers)
        if(h MATCHES "(^|/)detail/")
            set_property(GLOBAL APPEND PROPERTY OLM_DETAIL_HEADERS ${h})
        else()
            set_property(GLOBAL APPEND PROPERTY OLM_PUBLIC_HEADERS ${h})
            olm_install_header(${h})
        endif()
    endforeach()
endfunction()

function(olm_install_header header)
    get_filename_component(hdir ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${hdir})
endfunction()

# The project headers a header includes, by their path from the repository root.
function(olm_header_includes header out)
    file(STRINGS ${PROJECT_SOURCE_DIR}/${header} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    set(includes)
    foreach(line IN LISTS lines)
        if(line MATCHES "include[ \t]*\"([^\"]+)\"")
            list(APPEND includes ${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(${out} ${includes} PARENT_SCOPE)
endfunction()

# Installs the detail headers that installed headers include, directly or through other
# detail headers, so that every installed header compiles; the others stay private. Runs
# once every library has been declared.
function(olm_install_detail_headers)
    get_property(public GLOBAL PROPERTY OLM_PUBLIC_HEADERS)
    get_property(pending GLOBAL PROPERTY OLM_DETAIL_HEADERS)
    set(wanted)
    foreach(h IN LISTS public)
        olm_header_includes(${h} includes)
        list(APPEND wanted ${includes})
    endforeach()
    set(changed TRUE)
    while(changed)
        set(changed FALSE)
        foreach(h IN LISTS pending)
            if(h IN_LIST wanted)
                list(REMOVE_ITEM pending ${h})
                olm_install_header(${h})
                olm_header_includes(${h} includes)
                list(APPEND wanted ${includes})
                set(changed TRUE)
            endif()
        endforeach()
    endwhile()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL olm_install_detail_headers)
