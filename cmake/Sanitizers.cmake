# TAVRIN_SANITIZE=ON builds everything with AddressSanitizer and UndefinedBehaviorSanitizer;
# any report aborts the test that triggered it.
option(TAVRIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TAVRIN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# TAVRIN_SANITIZE_THREAD=ON builds everything with ThreadSanitizer (preset tsan), for the runs on several
# calculation threads; any report fails the run that triggered it.
option(TAVRIN_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(TAVRIN_SANITIZE_THREAD)
    if(TAVRIN_SANITIZE)
        message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
