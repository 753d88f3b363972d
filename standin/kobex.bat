@echo off
rem Starts the messaging client in the background and returns at once.
rem Under Wine the client is the native stand-in that lies beside this script;
rem its folder is turned from Z:\path\ into /path/ for "start /unix".
set "here=%~dp0"
set "here=%here:\=/%"
set "here=%here:~2%"
start "" /unix "%here%standin" --dir "%here%." %*
