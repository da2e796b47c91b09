#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The signed packages, made with a throw-away self-signed code-signing certificate of the
# test's own (openssl), as a PKCS#12 file with a password (packaging/windows/sign.sh):
#   1. the packages of the build folder, made without a certificate, carry no signature (made
#      with one, they are left to it);
#   2. the same build packaged again with the certificate (cpack, into a scratch folder): the
#      installer, the MSI and the program in the .zip each pass `osslsigncode verify` against
#      the certificate, and so do the program and the uninstaller the installer puts on disk
#      (installed silently for the user alone under Wine, in a throw-away prefix).
#
#   signing_test.sh BUILD_DIR
#
# Needs osslsigncode, openssl, Wine and Xvfb.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1")

if [ "${TORVANE_ON_DISPLAY:-}" != 1 ]; then
    TORVANE_ON_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
# shellcheck source=tests/windows/wine.sh
source "$here/wine.sh"
scratch=$(mktemp -d)
finish() {
    wine_stop
    rm -rf "$scratch"
}
trap finish EXIT
# shellcheck source=tests/checks.sh
source "$here/../checks.sh"
# shellcheck source=tests/windows/program.sh
source "$here/program.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=Torvane-$version-win64
verified() {  # FILE: whether its signature holds, by the test's certificate
    osslsigncode verify -CAfile "$scratch/signer.pem" -in "$1" >"$scratch/verify.log" 2>&1 || {
        sed 's/^/  /' "$scratch/verify.log" | tail -n 5
        return 1
    }
}
unsigned() {  # FILE
    ! osslsigncode verify -in "$1" >/dev/null 2>&1
}

# The build's own certificate, if it was given one, is not the test's: set aside.
given=${TORVANE_SIGN_PKCS12:-${TORVANE_SIGN_PKCS11_MODULE:-}}
unset TORVANE_SIGN_PKCS12 TORVANE_SIGN_PKCS11_MODULE TORVANE_SIGN_PKCS11_KEY \
    TORVANE_SIGN_PKCS11_CERT TORVANE_SIGN_PASSWORD TORVANE_SIGN_PASSWORD_FILE TORVANE_SIGN_TIMESTAMP
if [ -z "$given" ]; then
    echo "== Without a certificate: nothing signed"
    check "the installer carries no signature" unsigned "$build/$name.exe"
    check "the MSI carries no signature" unsigned "$build/$name.msi"
else
    echo "note: the build's packages were signed with $given, not checked here"
fi

echo "== A throw-away certificate"
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Torvane test signer" \
    -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
    -keyout "$scratch/signer.key" -out "$scratch/signer.pem" 2>/dev/null
password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
printf '%s' "$password" >"$scratch/password"
openssl pkcs12 -export -inkey "$scratch/signer.key" -in "$scratch/signer.pem" \
    -passout file:"$scratch/password" -out "$scratch/signer.p12"

echo "== The packages made again, signed"
(cd "$build" && TORVANE_SIGN_PKCS12=$scratch/signer.p12 TORVANE_SIGN_PASSWORD_FILE=$scratch/password \
    cpack -C Release -B "$scratch/signed" >"$scratch/cpack.log" 2>&1) || {
    tail -n 30 "$scratch/cpack.log"
    fail "cpack with the certificate"
    exit 1
}
grep '^Signed' "$scratch/cpack.log" | sort | uniq -c | sed 's/^/  /'
signed=$scratch/signed
check "the installer's signature holds" verified "$signed/$name.exe"
check "the MSI's signature holds" verified "$signed/$name.msi"
mkdir "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$signed/$name.zip")
check "the program's signature in the .zip holds" verified "$scratch/zip/$name/torvane.exe"

echo "== What the signed installer puts on disk (for the user alone, under Wine)"
wine_start
program_install "$signed/$name.exe" /S /CurrentUser
installed=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Programs/Torvane' -type d)
check "the program's signature holds, installed" verified "$installed/torvane.exe"
check "the uninstaller's signature holds" verified "$installed/Uninstall.exe"

echo "signing test: $failures failure(s)"
[ "$failures" -eq 0 ]
