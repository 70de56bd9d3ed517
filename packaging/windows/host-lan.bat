@echo off
rem Hosts a game for friends on the same network: prints the addresses they enter in the game's
rem settings, then opens the client, which starts a server listening on every network of this
rem machine (Windows may ask whether desk-server may accept connections: allow it on private
rem networks). The server ends with the game. Options after host-lan.bat go to the server.
"%~dp0desk-server.exe" --print-addresses
start "" "%~dp0desk-client.exe" --local-server "%~dp0desk-server.exe" --host 0.0.0.0 %*
pause
