@echo off
rem quorvane in a window of its own (1280x720) instead of full screen.
rem Escape or closing the window ends it; more options: quorvane.exe --help
cd /d "%~dp0"
start "" quorvane.exe --window %*
