# The folders of src/, one library each (voter_<folder>), and the folders each may use: its
# library links theirs, and the include check (sloi.cmake) allows only their headers. A list
# names every folder below its own, so it can be read without following the links.
#
#   core      the main window's frame, dialogs and platform seams, shared widgets
#   db        connection, T-SQL layer, schema, journal, settings file   (no widgets)
#   rtf       RTF reader and writer                                    (no widgets)
#   editors   meeting, agenda, document and deputy editors
#   viewer    the deputy's agenda and document viewer
#   hall      the hall's screens: seat map, boards, registration, voting panel, anthem
#   protocol  the minutes (protocol/text, without widgets, is its own library for voter-sql)
#   console   the operator's windows
#   app       the screens of every role put together, and the three programs' main()
set(MOZHET_db db)
set(MOZHET_rtf rtf)
set(MOZHET_core core db rtf)
set(MOZHET_editors editors core db rtf)
set(MOZHET_viewer viewer editors core db rtf)
set(MOZHET_hall hall viewer editors core db rtf)
set(MOZHET_protocol protocol core db rtf)
set(MOZHET_console console hall viewer editors protocol core db rtf)
set(MOZHET_app app console hall viewer editors protocol core db rtf)

