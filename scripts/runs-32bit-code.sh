#!/usr/bin/env bash
# Exits 0 when this machine can execute 32-bit x86 code, which 32-bit Wine
# needs. Some virtual machines run 64-bit user code only: there an i386
# program fails with "Exec format error", and installing wine32 would even
# break the `wine` command (it then prefers the 32-bit loader). The probe is
# a tiny static i386 program made with the binutils the build needs anyway.
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null || exit 1
"$dir/exit" 2>/dev/null || exit 1
