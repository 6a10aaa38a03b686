# Card pictures, cursor and card sound of the table window, and the
# programs' icons.
#
# include() this file from the table's CMakeLists.txt (after Qt6 is found).
# It provides:
#   QUORVANE_CARD_QRC     the resource file with the 55 pictures and hand.png,
#                         each also at twice the size (<name>@2x.png)
#                         (resource paths :/cards/<name>.png)
#   QUORVANE_CARD_WAV     the card sound, to be copied next to the client
#   QUORVANE_ICON_DIR     the programs' icons: quorvane-<N>.png and
#                         tessarin-<N>.png for each N in QUORVANE_ICON_SIZES,
#                         quorvane.svg and tessarin.svg
#   make_cards            the program that draws all of them
#   regenerate_cards      a target (not built by default) that reruns
#                         make_cards and rewrites the files in this folder
#
# The variables need no Qt; set QUORVANE_ASSETS_VARIABLES_ONLY before the
# include() to get just them.

set(QUORVANE_CARD_ASSETS_DIR ${CMAKE_CURRENT_LIST_DIR})
set(QUORVANE_CARD_QRC ${CMAKE_CURRENT_LIST_DIR}/cards.qrc)
set(QUORVANE_CARD_WAV ${CMAKE_CURRENT_LIST_DIR}/cardd.wav)
set(QUORVANE_ICON_DIR ${CMAKE_CURRENT_LIST_DIR}/icons)
set(QUORVANE_ICON_SIZES 16 32 48 64 128 256)
if(QUORVANE_ASSETS_VARIABLES_ONLY)
  return()
endif()

if(NOT TARGET make_cards)
  add_executable(make_cards ${CMAKE_CURRENT_LIST_DIR}/tools/make_cards.cpp)
  target_link_libraries(make_cards PRIVATE Qt6::Gui)
  # Keep the tool out of the folder the programs are run from.
  set_target_properties(make_cards PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools
    AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)

  add_custom_target(regenerate_cards
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:make_cards> ${QUORVANE_CARD_ASSETS_DIR}
    DEPENDS make_cards
    WORKING_DIRECTORY ${QUORVANE_CARD_ASSETS_DIR}
    COMMENT "Drawing the card pictures, cursor, sound and icons into ${QUORVANE_CARD_ASSETS_DIR}"
    VERBATIM)
endif()
