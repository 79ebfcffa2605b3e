-- Paths, the working directory, making folders and files, attributes,
-- dates and volumes.
local t = require("testing")

os.execute("rm -rf p && mkdir -p p")
t.write_file("p/file.txt", "12345")

t.eq(Exists("p/file.txt"), 1) t.eq(Exists("p"), 1) t.eq(Exists("p/none"), 0) t.eq(Exists(""), 0)
t.eq(FileSize("p/file.txt"), 5) t.eq(FileSize("p"), -1, "a folder") t.eq(FileSize("p/none"), -1)
t.eq(IsDirectory("p"), 1) t.eq(IsDirectory("p/file.txt"), 0)
t.expect_error(1571, IsDirectory, "p/none")

t.eq(PathPart("file.txt"), "", "a bare name") t.eq(PathPart("a/b/c.txt"), "a/b/")
t.eq(PathPart("/c.txt"), "/") t.eq(FilePart("a/b/c.txt"), "c.txt") t.eq(FilePart("c.txt"), "c.txt")
t.eq(FullPath("a/b", "c.txt"), "a/b/c.txt") t.eq(FullPath("a/b/", "c.txt"), "a/b/c.txt")
t.eq(FullPath(), "") t.eq(FullPath("a"), "a")
t.eq(IsAbsolutePath("/x"), 1) t.eq(IsAbsolutePath("x/y"), 0)
t.eq(MakeHostPath("p/file.txt"), "p/file.txt")
assert(string.find(MakeHostPath(MEDIA_DOWNLOADS .. "/x.zip"), "^/.*/x%.zip$"), MakeHostPath(MEDIA_DOWNLOADS .. "/x.zip"))

local here = GetCurrentDirectory()
t.eq(GetStartDirectory(), here)
t.eq(CanonizePath("p/../p/./file.txt"), here .. "/p/file.txt")
t.eq(CanonizePath("p/new/../later.txt"), here .. "/p/later.txt", "missing parts by their text")
t.eq(CanonizePath("."), here)
assert(IsDirectory(GetProgramDirectory()) == 1)

-- ChangeDirectory moves the process, so Lua's io sees it too.
ChangeDirectory("p")
t.eq(GetCurrentDirectory(), here .. "/p")
t.eq(t.read_file("file.txt"), "12345")
ChangeDirectory("..")
t.expect_error(1630, ChangeDirectory, "p/none")
t.expect_error(1630, ChangeDirectory, "p", {adapter = "zip"})

local temp = GetTempFileName()
t.eq(Exists(temp), 1) t.eq(FileSize(temp), 0)
local second = GetTempFileName()
assert(second ~= temp)
os.remove(temp)
os.remove(second)

-- Folders on the way are made; a file in the way is an error.
MakeDirectory("p/one/two/three")
t.eq(IsDirectory("p/one/two/three"), 1)
MakeDirectory("p/one/two/three")  -- already there
t.expect_error(1084, MakeDirectory, "p/file.txt/sub")
CreateDirectory("p", "made")
t.eq(IsDirectory("p/made"), 1)
t.expect_error(1055, CreateDirectory, "p", "made")
CreateFile("p", "empty.txt")
t.eq(FileSize("p/empty.txt"), 0)
t.expect_error(1055, CreateFile, "p", "file.txt")
t.eq(FileSize("p/file.txt"), 5, "an existing file is left alone")

Rename("p/empty.txt", "renamed.txt")
t.eq(Exists("p/renamed.txt"), 1) t.eq(Exists("p/empty.txt"), 0)
t.expect_error(1055, Rename, "p/renamed.txt", "file.txt")
t.eq(FileSize("p/file.txt"), 5, "never replaced")
t.expect_error(1055, Rename, "p/none", "x")

-- Attributes: flags both ways, dates as local time.
os.execute("chmod 750 p/file.txt")
local a = GetFileAttributes("p/file.txt")
t.eq(a.type, DOSTYPE_FILE) t.eq(a.size, 5) t.eq(a.name, "file.txt") t.eq(a.virtual, 0)
t.eq(a.path, here .. "/p/file.txt")
t.eq(a.flags, FILEATTR_READ_USR + FILEATTR_WRITE_USR + FILEATTR_EXECUTE_USR + FILEATTR_DELETE_USR +
  FILEATTR_READ_GRP + FILEATTR_EXECUTE_GRP + FILEATTR_NORMAL)
t.eq(GetFileAttributes("p").type, DOSTYPE_DIRECTORY)
t.expect_error(1045, GetFileAttributes, "p/none")

SetFileAttributes("p/file.txt", {flags = FILEATTR_READONLY})
a = GetFileAttributes("p/file.txt")
t.eq(a.flags, FILEATTR_READ_USR + FILEATTR_EXECUTE_USR + FILEATTR_READ_GRP + FILEATTR_EXECUTE_GRP +
  FILEATTR_READONLY)
SetFileAttributes("p/file.txt", {flags = FILEATTR_READ_USR + FILEATTR_WRITE_USR + FILEATTR_READ_OTH})
t.eq(GetFileAttributes("p/file.txt").flags, FILEATTR_READ_USR + FILEATTR_WRITE_USR +
  FILEATTR_DELETE_USR + FILEATTR_READ_OTH + FILEATTR_NORMAL)

SetFileAttributes("p/file.txt", {time = "24-Dec-2019 18:30:05", lastaccesstime = "01-jan-2020 00:00:00"})
a = GetFileAttributes("p/file.txt")
t.eq(a.time, "24-Dec-2019 18:30:05") t.eq(a.lastaccesstime, "01-Jan-2020 00:00:00")
SetFileAttributes("p/file.txt", {creationtime = "01-Feb-2001 10:00:00"})  -- checked, kept by the system
t.expect_error(1055, SetFileAttributes, "p/file.txt", {time = "31-Feb-2020 10:00:00"})
t.expect_error(1055, SetFileAttributes, "p/file.txt", {time = "yesterday"})
t.expect_error(1055, SetFileAttributes, "p/none", {flags = 0})
t.eq(GetFileAttributes("p/file.txt").time, "24-Dec-2019 18:30:05", "a refused date changes nothing")

-- Hidden files are those with a leading dot.
t.write_file("p/.dot", "")
assert(GetFileAttributes("p/.dot").flags % 256 >= FILEATTR_HIDDEN)

-- Virtual files have attributes too.
local v = DefineVirtualFileFromString("virtual data", "v.txt")
a = GetFileAttributes(v)
t.eq(a.virtual, 1) t.eq(a.size, 12) t.eq(a.path, v)

-- Open files.
OpenFile(1, "p/file.txt")
a = FileAttributes(1)
t.eq(a.path, "p/file.txt") t.eq(a.name, "file.txt") t.eq(a.streaming, 0) t.eq(a.noseek, 0)
CloseFile(1)
OpenFile(1, STDOUT, MODE_WRITE)
t.eq(FileAttributes(1).streaming, 1) t.eq(FileAttributes(1).noseek, 1)
CloseFile(1)
t.expect_error(1179, FileAttributes, 1)

-- Volumes.
assert(GetVolumeInfo(".", FREESPACE) >= 0)
assert(GetVolumeInfo(".", USEDSPACE) > 0)
assert(#GetVolumeName(".") > 0)
t.eq(GetVolumeName("/proc"), "/proc", "a mount without a label is named by its mount point")
t.expect_error(1055, GetVolumeInfo, "", FREESPACE)
t.expect_error(1055, GetVolumeName, "")
t.expect_error(1043, GetVolumeInfo, "p/none/deeper", FREESPACE)
t.expect_error(1043, GetVolumeName, "p/none")
t.eq(HaveVolume("/"), 1) t.eq(HaveVolume("/no/such/volume"), 0)

AllowBackslash(1) AllowBackslash(0)
