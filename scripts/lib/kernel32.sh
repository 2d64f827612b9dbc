# Whether this machine's kernel runs 32-bit x86 programs (sourced, not run). Machines of one kind
# differ here: some kernels are built without 32-bit emulation, and there 32-bit Wine (and so every
# 32-bit suite) cannot start at all, whatever packages are installed.
#
# The answer comes from running a program, not from the package architectures: a 96-byte static
# 32-bit ELF executable that needs no library and only makes the exit system call with status 42.
# A kernel without 32-bit support refuses it (Exec format error); any other status is a "no" too.

# The probe is written to directory $1 (default: the temporary directory), which must allow
# programs to run: a build directory does.
kernel_runs_32bit() {
    local probe status
    mkdir -p "${1:-${TMPDIR:-/tmp}}" && probe=$(mktemp "${1:-${TMPDIR:-/tmp}}/qv-probe32.XXXXXX") || return 1
    # ELF header (52 bytes), one loadable segment at 0x08048000 (32 bytes), then the code at
    # 0x08048054: mov eax, 1 (exit); mov ebx, 42; int 0x80.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00'\
'\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1
    status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}
