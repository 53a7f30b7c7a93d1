# The disc images of the image tests, made from a small tree written here: Cyrillic and
# mixed-case names, nested folders, a file of several blocks and, in the Rock Ridge image, a
# name too long for its directory record (its name lies in a continuation area).
#   cmake -DXORRISO=... -DGENISOIMAGE=... -DOUT=folder -P MakeTestImages.cmake
# OUT/rock-ridge.iso: xorriso, Rock Ridge and Joliet names; OUT/joliet.iso: genisoimage, Joliet
# names only; OUT/relocated.iso: genisoimage, Rock Ridge with a folder relocated for depth.
cmake_minimum_required(VERSION 3.22)

set(tree ${OUT}/tree)
file(REMOVE_RECURSE ${tree})
file(WRITE "${tree}/Книги/NightSky/ReadMe.TXT" "Звёздное небо\n")
file(WRITE "${tree}/Книги/NightSky/Base/MixedCase.Htm" "<p>mixed</p>")
string(REPEAT "abcdefghijklmnopqrstuvwxyz0123456789\n" 300 big)
file(WRITE "${tree}/Книги/NightSky/Deep/Deeper/Большой.Bin" "${big}")
file(MAKE_DIRECTORY "${tree}/Пустая")

execute_process(COMMAND ${GENISOIMAGE} -quiet -input-charset utf-8 -J -V QUARTO_TEST
    -o ${OUT}/joliet.iso ${tree}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "genisoimage failed")
endif()

# Deeper than ISO 9660's eight levels: genisoimage's Rock Ridge moves the folder "5" to
# rr_moved and leaves a child link in its place.
file(WRITE "${tree}/Книги/NightSky/Deep/Deeper/1/2/3/4/5/Глубоко.txt" "deep")
execute_process(COMMAND ${GENISOIMAGE} -quiet -input-charset utf-8 -J -R -V QUARTO_TEST
    -o ${OUT}/relocated.iso ${tree}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "genisoimage failed")
endif()

string(REPEAT "Длинное" 16 long)
file(WRITE "${tree}/Книги/${long}.txt" "long")
execute_process(COMMAND ${XORRISO} -as mkisofs -quiet -input-charset utf-8 -J -R -V QUARTO_TEST
    -o ${OUT}/rock-ridge.iso ${tree}
  RESULT_VARIABLE failed ERROR_QUIET)
if(failed)
  message(FATAL_ERROR "xorriso failed")
endif()
file(REMOVE_RECURSE ${tree})
