@echo off
rem Plays the game: starts a local game server with computer players on 127.0.0.1:9999 (unless
rem one already listens there), opens the game, and stops the server it started when the game ends.
setlocal
echo Shuangkou (desk) @PROJECT_VERSION@
cd /d "%~dp0"
set started=
netstat -an | find ":9999 " | find "LISTEN" >nul
if errorlevel 1 (
  start "desk-server" /min desk-server.exe --port 9999
  set started=1
  ping -n 2 127.0.0.1 >nul
)
start "" /wait desk-client.exe
if defined started taskkill /fi "WINDOWTITLE eq desk-server" /f >nul 2>&1
endlocal
