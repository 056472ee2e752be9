#!/usr/bin/env bash
# Checks the unpacked Windows ZIP as a user, a packager or Windows would see
# it, with MinGW-w64's binutils:
# - korvane.exe's version resource, read back out of the program: product
#   name, description, the project's version (as text and as numbers) and
#   LICENSE's copyright line;
# - the DLLs it and korvane-lab.exe import: only those that Windows ships,
#   since NOTICE and the README promise programs with their runtime linked in;
# - address-space randomisation with high entropy and DEP, which Windows
#   applies only to a program whose header asks for them;
# - LICENSE and NOTICE beside it, the same as the repository's.
#
# Usage: windowsPackageCheck.sh PACKAGE_DIR SOURCE_DIR VERSION
set -euo pipefail

package=$1
source=$2
version=$3
exe=$package/korvane.exe
windres=${KORVANE_MINGW_WINDRES:-x86_64-w64-mingw32-windres}
objdump=${KORVANE_MINGW_OBJDUMP:-x86_64-w64-mingw32-objdump}

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

[ -f "$exe" ] || { echo "FAILED: no korvane.exe in $package" >&2; exit 1; }

for file in LICENSE NOTICE; do
    if [ ! -f "$package/$file" ]; then
        fail "the package holds no $file"
    elif ! cmp -s "$package/$file" "$source/$file"; then
        fail "the package's $file differs from the repository's"
    fi
done

# windres reads the resources of a PE file as COFF and writes them as a
# resource script, one VALUE "Name", "text" line per string.
resources=$("$windres" --input-format=coff --output-format=rc -i "$exe") ||
    { echo "FAILED: $windres could not read korvane.exe's resources" >&2; exit 1; }
value() {
    sed -n "s/^ *VALUE \"$1\", \"\\(.*\\)\"\$/\\1/p" <<<"$resources"
}
expect_value() {
    local actual
    actual=$(value "$1")
    [ "$actual" = "$2" ] || fail "version resource: $1 is '$actual', expected '$2'"
}

grep -q 'VERSIONINFO' <<<"$resources" || fail "korvane.exe has no version resource"
expect_value ProductName "Korvane"
expect_value FileVersion "$version"
expect_value ProductVersion "$version"
expect_value OriginalFilename "korvane.exe"
description=$(value FileDescription)
case $description in
Korvane?*) ;;
*) fail "version resource: FileDescription '$description' does not describe Korvane" ;;
esac
copyright=$(grep -m1 '^Copyright ' "$source/LICENSE")
case $(value LegalCopyright) in
"$copyright"*) ;;
*) fail "version resource: LegalCopyright '$(value LegalCopyright)' lacks '$copyright'" ;;
esac
# The fixed part: FILEVERSION and PRODUCTVERSION as four numbers.
IFS=. read -r major minor patch <<<"$version"
numbers="$major, $minor, ${patch:-0}, 0"
for field in FILEVERSION PRODUCTVERSION; do
    grep -q "^ *$field $numbers\$" <<<"$resources" ||
        fail "version resource: $field is not $numbers"
done

# Windows' own DLLs only, for the program and the shader lab beside it:
# anything else (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll,
# libssp-0.dll, glew32.dll) would be missing from the ZIP. advapi32.dll gives
# the stack protector a random guard value.
expected="advapi32.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll "
for name in korvane.exe korvane-lab.exe; do
    [ -f "$package/$name" ] || { fail "the package holds no $name"; continue; }
    headers=$("$objdump" -p "$package/$name")
    imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
    [ "$imports" = "$expected" ] || fail "$name imports '$imports', expected '$expected'"
    for characteristic in HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT; do
        grep -Eq "^[[:space:]]+$characteristic\$" <<<"$headers" ||
            fail "$name's DllCharacteristics lack $characteristic"
    done
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; the version resource as read back:" >&2
    echo "$resources" >&2
    exit 1
fi
echo "korvane.exe $version: version resource, imports, LICENSE and NOTICE as expected"
