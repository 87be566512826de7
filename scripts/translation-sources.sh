# The folders whose texts the window, its dialogs and messages show.
MP_TRANSLATION_SOURCES=(app commands device diagnostics dialogs events files language maintenance
                        monitoring resources serial settings trend)
