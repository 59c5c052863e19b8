// The application object arrives with the shell.
