# Helpers shared by every library, test and benchmark target.

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
    foreach(h IN LISTS headers)
        get_filename_component(hdir ${h} DIRECTORY)
        install(FILES ${PROJECT_SOURCE_DIR}/${h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${hdir})
    endforeach()
endfunction()
