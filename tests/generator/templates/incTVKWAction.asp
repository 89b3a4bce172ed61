fixture: incTVKWAction.asp
