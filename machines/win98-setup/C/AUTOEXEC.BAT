@ECHO OFF
PATH C:\WINDOWS;C:\WINDOWS\COMMAND
rem c:\oldtools\kromvale.exe @letters.ini
SET TEMP=C:\WINDOWS\TEMP
