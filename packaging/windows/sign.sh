#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Torvane developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Signs a Windows program, installer or MSI package in place with osslsigncode (Authenticode,
# SHA-256), when a certificate is given in the environment; without one it leaves the file as
# it is. The install rules call it on torvane.exe, makensis on the uninstaller and the
# installer, the MSI's packaging script on the .msi.
#
#   sign.sh FILE      signs FILE (or does nothing, without a certificate)
#   sign.sh --status  says in one line whether the packages are signed, and with what
#
# The certificate, either
#   TORVANE_SIGN_PKCS12          a PKCS#12 file holding the key and its certificate chain, or
#   TORVANE_SIGN_PKCS11_MODULE   the PKCS#11 module of a token (a smart card, an HSM),
#   TORVANE_SIGN_PKCS11_KEY      the key's PKCS#11 URI or id on it, and
#   TORVANE_SIGN_PKCS11_CERT     the certificate (chain) file that goes with the key;
# TORVANE_SIGN_PASSWORD_FILE     a file holding the PKCS#12 file's password, or the token's
#                                PIN; or TORVANE_SIGN_PASSWORD, holding it itself;
# TORVANE_SIGN_TIMESTAMP         an RFC 3161 timestamp server's URL, optional: with one, the
#                                signature outlives the certificate.
set -euo pipefail

# The certificate given, if any: sets with (what --status names) and key (osslsigncode's
# arguments for it), both empty when none is given.
certificate() {
    with='' key=()
    if [ -n "${TORVANE_SIGN_PKCS12:-}" ]; then
        with="the PKCS#12 file $TORVANE_SIGN_PKCS12"
        key=(-pkcs12 "$TORVANE_SIGN_PKCS12")
    elif [ -n "${TORVANE_SIGN_PKCS11_MODULE:-}" ]; then
        with="the PKCS#11 key ${TORVANE_SIGN_PKCS11_KEY:?TORVANE_SIGN_PKCS11_KEY is not set} of $TORVANE_SIGN_PKCS11_MODULE"
        key=(-pkcs11module "$TORVANE_SIGN_PKCS11_MODULE" -key "$TORVANE_SIGN_PKCS11_KEY"
            -certs "${TORVANE_SIGN_PKCS11_CERT:?TORVANE_SIGN_PKCS11_CERT is not set}")
    fi
}

certificate
if [ "${1:-}" = --status ]; then
    if [ -n "$with" ]; then
        echo "Signing the program, the uninstaller, the installer and the MSI with $with${TORVANE_SIGN_TIMESTAMP:+, timestamped by $TORVANE_SIGN_TIMESTAMP}"
    else
        echo "No certificate given (TORVANE_SIGN_PKCS12 or TORVANE_SIGN_PKCS11_MODULE): nothing is signed"
    fi
    exit 0
fi
[ $# -eq 1 ] || {
    echo "usage: $0 FILE | --status" >&2
    exit 2
}
file=$1
[ -n "$with" ] || exit 0

# osslsigncode writes a new file, beside the old one until it replaces it.
scratch=$(mktemp -d "$(dirname "$file")/.signing.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
signed=$scratch/$(basename "$file")
# The password goes through a file or a pipe, never on a command line.
if [ -n "${TORVANE_SIGN_PASSWORD_FILE:-}" ]; then
    cat -- "$TORVANE_SIGN_PASSWORD_FILE"
else
    printf '%s' "${TORVANE_SIGN_PASSWORD:-}"
fi | osslsigncode sign "${key[@]}" -readpass - -h sha256 -n Torvane \
    ${TORVANE_SIGN_TIMESTAMP:+-ts "$TORVANE_SIGN_TIMESTAMP"} -in "$file" -out "$signed" >/dev/null
chmod --reference="$file" "$signed"
mv -f "$signed" "$file"
echo "Signed $(basename "$file")"
