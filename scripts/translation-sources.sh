# The folders whose texts the window, its dialogs and messages show.
MP_TRANSLATION_SOURCES=(app commands connection device diagnostics dialogs events files language maintenance
                        audit batch line monitoring mqtt network plant relay resources serial service settings starts trend)
