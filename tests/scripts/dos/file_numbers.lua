-- Typed numbers: width, byte order, signedness, IO_FAKE64 and floats.
local t = require("testing")

t.write_file("n.bin", "\255\254\255\255\255\255\128")

OpenFile(1, "n.bin")
t.eq(ReadShort(1), 65534, "big-endian unsigned by default")
Seek(1, 0)
t.eq(ReadShort(1, IO_SIGNED), -2, "signed")
Seek(1, 0)
t.eq(ReadShort(1, IO_LITTLEENDIAN), 65279, "little-endian")
Seek(1, 2)
t.eq(ReadInt(1), -1, "32 bits are signed by default")
Seek(1, 2)
t.eq(ReadInt(1, IO_UNSIGNED), 4294967295, "unsigned")
t.eq(ReadByte(1), 128, "bytes are unsigned by default")
Seek(1, -1, SEEK_CURRENT)
t.eq(ReadByte(1, IO_SIGNED), -128, "signed byte")
t.expect_error(1055, ReadInt, 1, IO_FAKE64 + IO_UNSIGNED)

-- A value that runs past the end fails; the file stays open and usable.
Seek(1, 5)
t.expect_error(1009, ReadInt, 1)
Seek(1, 0)
t.eq(ReadByte(1), 255, "still open after the failed read")
CloseFile(1)

-- Writing: values are truncated to their width, in the chosen byte order.
OpenFile(2, "w.bin", MODE_WRITE)
WriteByte(2, 256 + 65)
WriteByte(2, -1)
WriteShort(2, 0x1234)
WriteShort(2, 0x1234, IO_LITTLEENDIAN)
WriteInt(2, -2)
WriteInt(2, 4294967295, IO_UNSIGNED)
WriteInt(2, 0x01020304, IO_LITTLEENDIAN)
WriteInt(2, -5, IO_FAKE64)
WriteInt(2, 2 ^ 40 + 7, IO_FAKE64 + IO_LITTLEENDIAN)
t.expect_error(1055, WriteInt, 2, 1, IO_FAKE64 + IO_UNSIGNED)
WriteFloat(2, 1.5, 4)
WriteFloat(2, -0.1)
WriteFloat(2, 2.25, 8, IO_LITTLEENDIAN)
t.expect_error(1055, WriteFloat, 2, 1, 2)
CloseFile(2)

t.eq(t.read_file("w.bin"),
  "A\255" .. "\18\52" .. "\52\18" .. "\255\255\255\254" .. "\255\255\255\255" .. "\4\3\2\1" ..
  "\255\255\255\255\255\255\255\251" .. "\7\0\0\0\0\1\0\0" ..
  "\63\192\0\0" .. "\191\185\153\153\153\153\153\154" .. "\0\0\0\0\0\0\2\64",
  "written bytes")

-- And back again.
OpenFile(3, "w.bin")
t.eq(ReadByte(3), 65, "byte")
t.eq(ReadByte(3, IO_SIGNED), -1, "negative byte")
t.eq(ReadShort(3), 0x1234, "big-endian short")
t.eq(ReadShort(3, IO_LITTLEENDIAN), 0x1234, "little-endian short")
t.eq(ReadInt(3), -2, "int")
t.eq(ReadInt(3, IO_UNSIGNED), 4294967295, "unsigned int")
t.eq(ReadInt(3, IO_LITTLEENDIAN), 0x01020304, "little-endian int")
t.eq(ReadInt(3, IO_FAKE64), -5, "64-bit")
t.eq(ReadInt(3, IO_FAKE64 + IO_LITTLEENDIAN), 2 ^ 40 + 7, "little-endian 64-bit")
t.eq(ReadFloat(3, 4), 1.5, "single")
t.eq(ReadFloat(3), -0.1, "double")
t.eq(ReadFloat(3, 8, IO_LITTLEENDIAN), 2.25, "little-endian double")
t.expect_error(1055, ReadFloat, 3, 2)
t.eq(Eof(3) ~= 0, true, "all read")
t.expect_error(1009, ReadFloat, 3, 4)
CloseFile(3)
