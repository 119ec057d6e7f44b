@echo off
rem Starts Config.exe in English from this file's folder, the game's folder,
rem where it looks for the settings.
cd /d "%~dp0"
start "" Config.exe /lang:en
