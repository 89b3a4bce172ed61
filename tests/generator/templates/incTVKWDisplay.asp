fixture: incTVKWDisplay.asp
