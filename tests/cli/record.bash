# record.bash -- reading a player's record file from the command-line checks.

# A record file as "NAME R L G V D T": 540 bytes, each stored as itself xor the stored byte
# before it xor its offset, then the 32-bit sum of the plain bytes; numbers are 32-bit LE.
decode_record() {
    python3 - "$1" <<'PY'
import struct, sys
e = open(sys.argv[1], "rb").read()
if len(e) != 544:
    sys.exit("size %d" % len(e))
p = bytes([e[0]] + [e[i] ^ e[i - 1] ^ (i & 0xFF) for i in range(1, 540)])
if sum(p) & 0xFFFFFFFF != struct.unpack_from("<I", e, 540)[0]:
    sys.exit("bad checksum")
name = p[:256].split(b"\0")[0].decode("latin-1")
print(name, *struct.unpack_from("<6i", p, 512))
PY
}

# The record file of "NAME PASSWORD R L G V D T" on standard output, as the game writes it.
encode_record() {
    python3 - "$@" <<'PY'
import struct, sys
name, password, *numbers = sys.argv[1:]
p = bytearray(540)
p[0:len(name)] = name.encode("latin-1")
p[256:256 + len(password)] = password.encode("latin-1")
p[512:540] = struct.pack("<7i", *map(int, numbers), 0)
e = bytearray(540)
e[0] = p[0]
for i in range(1, 540):
    e[i] = e[i - 1] ^ (i & 0xFF) ^ p[i]
sys.stdout.buffer.write(bytes(e) + struct.pack("<I", sum(p) & 0xFFFFFFFF))
PY
}
