#!/usr/bin/env bash
# Writes the committed seed corpora under fuzz/corpus/. Run by hand when a seed changes;
# the fuzzers read the files, not this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
corpus=$here/corpus
release=$here/../firmware/release/orbeline-1.37.fw

# bytes "F5 0D 01" > file: hexadecimal pairs to binary
bytes() { for pair in "$@"; do printf "\\x$pair"; done; }

# An Intel HEX record with its checksum: record COUNT-ADDRESS-TYPE-DATA as hex digits.
record() {
    local body=$1 sum=0 i
    for ((i = 0; i < ${#body}; i += 2)); do sum=$((sum + 16#${body:i:2})); done
    printf ':%s%02X\n' "$body" $(((256 - sum % 256) % 256))
}

header() { printf 'KELNO Electronics firmware file\nname Test\nprogid CTRLORBEL\nversion 1.37\n'; }

loader() {
    local dir=$corpus/firmware_loader
    rm -rf "$dir" && mkdir -p "$dir"
    cp "$release" "$dir/release"
    { header; record 0200000400C0; record 04001000DEADBEEF; record 00000001; } >"$dir/minimal"
    { header; record 02000002C000; record 0300100001020304 | tr A-F a-f; record 00000001; } \
        >"$dir/segment_lower_case"
    { header; record 0200000400C0; record 04FFFE0011223344; record 0400020055667788;
      record 00000001; } >"$dir/across_64k"
    { header; record 0200000400C0; record 0200100001FF | sed 's/$/ /'; record 00000001; } \
        >"$dir/trailing_space"
    { header; record 0200000400C0; record 04001000DEADBEEF; } >"$dir/no_end"
    { header; record 0200000400C0; echo ':04001000DEADBEEF00'; record 00000001; } >"$dir/bad_checksum"
    { header; record 0400000300000000; record 00000001; } >"$dir/type_03"
    { header; record 0100100055; record 00000001; } >"$dir/data_before_address"
    { printf 'KELNO Electronics firmware file\nversion 137\n'; record 00000001; } >"$dir/version_without_point"
    { printf 'KELNO Electronics firmware file\n'; record 00000001; echo 'junk'; record 00000001; } \
        >"$dir/after_end"
    { printf 'KELNO Electronics firmware file\n\nname\nprogid\nversion 1.\n'; record 00000001; } \
        >"$dir/short_headers"
    { header; record 0200000400C0; record 0100100011; record 0100100022; record 0100110033;
      record 00000001; } >"$dir/repeated_address"
    # One byte in each of 2049 windows: one chunk too many.
    { header
      local n segment offset
      for ((n = 0; n < 2049; ++n)); do
          segment=$((n * 256 / 65536)) offset=$((n * 256 % 65536))
          ((offset == 0)) && record "02000004$(printf '%04X' $((segment + 0xC)))"
          record "01$(printf '%04X' $offset)00AA"
      done
      record 00000001; } >"$dir/image_full"
}

decoder() {
    local dir=$corpus/frame_decoder
    rm -rf "$dir" && mkdir -p "$dir"
    # variants of the calls, flags (bit 0 OldBoot, bit 1 TraceRx), stream
    bytes 00 00 F5 0D 01 AA FA >"$dir/boot_new"
    bytes FF 01 F5 0D 01 59 FA >"$dir/boot_old"
    bytes 00 02 F5 00 01 58 FA >"$dir/app_traced"
    bytes 00 01 F5 F6 75 01 A1 FA F5 A1 01 F6 75 FA >"$dir/escapes"
    bytes 55 01 F5 01 F5 0D 01 59 FA F5 F6 41 FA FA F5 55 FA F6 FA >"$dir/restart_and_rejects"
    bytes AA 01 F5 0D 01 59 FA F5 0D 01 59 FA 11 22 >"$dir/two_frames"
    { bytes 00 00 F5; head -c 700 /dev/zero | tr '\0' 'A'; bytes FA; } >"$dir/overlong"
}

exchange() {
    local dir=$corpus/command_exchange
    rm -rf "$dir" && mkdir -p "$dir"
    # flags, wait limit, SeqNo, code, data length, data; then the peer's steps
    # (0 raw, 1 answer, 2 pause, 3 wait for a request, 4 abort)
    bytes 02 14 0C 01 00  03  01 00 00 00 02 05 01 >"$dir/answered"
    bytes 0A 14 0C 01 00  03  01 00 00 00 02 25 01 >"$dir/answered_old_boot"
    bytes 02 14 0C 01 00  03  01 01 00 00 00  01 80 07 00 00 >"$dir/wrong_then_bit7_echo"
    bytes 02 14 0C 01 00  03  01 00 00 01 00  01 00 00 0E 02 05 01 >"$dir/wrong_seed_and_cut"
    bytes 01 0A 0C 01 00  03  00 03 F5 0D A8 FA >"$dir/one_byte_payload"
    bytes 12 0A 0C 01 00  00 05 F5 0D 01 11 22 33 >"$dir/endless"
    bytes 03 28 0C 06 01 05  02 03  04 >"$dir/abort"
    bytes 03 05 7F 02 00 >"$dir/no_answer_seq_wrap"
    { bytes 05 28 0C 07 FC 00 00 0C 00; head -c 248 /dev/zero | tr '\0' '\365';
      bytes 03 01 00 00 00 00; } >"$dir/flash_write"
}

burst() {
    local dir=$corpus/burst_reader
    rm -rf "$dir" && mkdir -p "$dir"
    # flags (bit 0 endless), then gap and byte pairs
    bytes 00 00 16 01 05 0A 16 01 05 >"$dir/announcement"
    bytes 00 00 21 01 05 0A 2C 01 05 >"$dir/old_announcement"
    bytes 00 00 07 0A 01 01 02 01 03 01 16 01 07 >"$dir/single_then_long"
    bytes 00 00 01 03 02 03 03 05 04 >"$dir/gaps_at_the_limit"
    bytes 01 00 16 01 05 >"$dir/endless"
}

loader
decoder
exchange
burst
