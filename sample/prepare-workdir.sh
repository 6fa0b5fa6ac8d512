#!/usr/bin/env bash
# Puts the built stand-ins into a copy of the sample work dir: the single-sign-on library into
# the SSO folder and the hall program into Hall\.  Usage: prepare-workdir.sh <workdir> <build dir>
set -euo pipefail
workdir="$1"; build="$2"
cp "$build/standins/Tessaly.dll" "$workdir/NVSSO/1.0/Bin/"
cp "$build/standins/Ombrel.exe" "$workdir/Hall/"
