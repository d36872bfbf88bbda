:; # Demo installer, one file for both systems: sh runs these first lines, cmd skips them as labels.
:; echo "demo 1.0 $1" > app.version && echo x > setup.tmp && echo "Installation OK ($1)." && exit 0; exit 1
@echo off
echo demo 1.0 %~1> app.version
echo x> setup.tmp
echo Installation OK (%~1).
exit /b 0
