# The folders whose texts the window, its dialogs and messages show.
MP_TRANSLATION_SOURCES=(app batch commands connection device diagnostics dialogs events files language maintenance
                        audit line monitoring mqtt network plant relay resources serial service settings starts trend)
