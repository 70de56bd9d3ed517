@echo off
rem Plays the game: opens the client, which starts a local game server with computer players on
rem 127.0.0.1:9999 as its own child (unless one already listens there); the server ends with the
rem game, also when the game crashes. Options after play.bat go to the server.
echo Shuangkou (desk) @PROJECT_VERSION@
start "" "%~dp0desk-client.exe" --local-server "%~dp0desk-server.exe" %*
