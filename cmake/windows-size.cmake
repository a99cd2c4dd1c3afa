# How the Windows programs lie in their files. Measured (scripts/measure/windows-sizes.py, scripts/measure/disc-cost.py
# --wine): with every section on a page of its own in the file, Wine maps discstart.exe and
# reads the pages it touches; with a CD's 128 KiB read-around that was 10.8 of its 13.2 MB in
# some 185 separate reads, where the packed default layout is read whole in one sweep of four.
# On a slow seeking drive the sweep wins, so the default stays; the option is there to measure.
option(DISCSTART_PAGE_ALIGNED "Align the sections of discstart.exe to pages in its file, so it can be mapped" OFF)

function(discstart_small_program target)
  if(DISCSTART_PAGE_ALIGNED)
    target_link_options(${target} PRIVATE LINKER:--file-alignment=4096 LINKER:--section-alignment=4096)
  endif()
endfunction()
