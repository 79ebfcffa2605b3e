#include "constants.h"

#include <iterator>

#include "tzx/dos_constants.h"

namespace tzx::dos {

const ConstantRow kConstants[] = {
    {"FILE", nullptr, kFile},

    {"MODE_READWRITE", nullptr, kModeReadwrite},
    {"MODE_READ", nullptr, kModeRead},
    {"MODE_WRITE", nullptr, kModeWrite},

    {"EOF", nullptr, kEof},

    {"SEEK_CURRENT", nullptr, kSeekCurrent},
    {"SEEK_BEGINNING", nullptr, kSeekBeginning},
    {"SEEK_END", nullptr, kSeekEnd},

    {"IO_BUFFERED", nullptr, kIoBuffered},
    {"IO_UNBUFFERED", nullptr, kIoUnbuffered},

    {"IO_LITTLEENDIAN", nullptr, kIoLittleendian},
    {"IO_SIGNED", nullptr, kIoSigned},
    {"IO_UNSIGNED", nullptr, kIoUnsigned},
    {"IO_FAKE64", nullptr, kIoFake64},

    {"ATTRFORMAT", nullptr, kAttrformat},
    {"ATTRMODE", nullptr, kAttrmode},
    {"ATTRADAPTER", nullptr, kAttradapter},
    {"ATTRENCODING", nullptr, kAttrencoding},

    {"STDIN", kStdin, 0},
    {"STDOUT", kStdout, 0},
    {"STDERR", kStderr, 0},

    {"DIRECTORY", nullptr, kDirectory},

    {"DOSTYPE_FILE", nullptr, kDostypeFile},
    {"DOSTYPE_DIRECTORY", nullptr, kDostypeDirectory},

    {"COUNTFILES", nullptr, kCountfiles},
    {"COUNTDIRECTORIES", nullptr, kCountdirectories},
    {"COUNTBOTH", nullptr, kCountboth},
    {"COUNTSEPARATE", nullptr, kCountseparate},

    {"COPYFILE_STATUS", nullptr, kCopyfileStatus},
    {"COPYFILE_OVERWRITE", nullptr, kCopyfileOverwrite},
    {"COPYFILE_UNPROTECT", nullptr, kCopyfileUnprotect},
    {"COPYFILE_FAILED", nullptr, kCopyfileFailed},

    {"MOVEFILE_UNPROTECT", nullptr, kMovefileUnprotect},
    {"MOVEFILE_COPY", nullptr, kMovefileCopy},
    {"MOVEFILE_DELETE", nullptr, kMovefileDelete},
    {"MOVEFILE_COPYFAILED", nullptr, kMovefileCopyfailed},
    {"MOVEFILE_DELETEFAILED", nullptr, kMovefileDeletefailed},

    {"DELETEFILE_STATUS", nullptr, kDeletefileStatus},
    {"DELETEFILE_UNPROTECT", nullptr, kDeletefileUnprotect},
    {"DELETEFILE_FAILED", nullptr, kDeletefileFailed},

    {"FILEATTR_READ_USR", nullptr, kFileattrReadUsr},
    {"FILEATTR_WRITE_USR", nullptr, kFileattrWriteUsr},
    {"FILEATTR_DELETE_USR", nullptr, kFileattrDeleteUsr},
    {"FILEATTR_EXECUTE_USR", nullptr, kFileattrExecuteUsr},
    {"FILEATTR_PURE", nullptr, kFileattrPure},
    {"FILEATTR_ARCHIVE", nullptr, kFileattrArchive},
    {"FILEATTR_SCRIPT", nullptr, kFileattrScript},
    {"FILEATTR_HIDDEN", nullptr, kFileattrHidden},
    {"FILEATTR_SYSTEM", nullptr, kFileattrSystem},
    {"FILEATTR_READ_GRP", nullptr, kFileattrReadGrp},
    {"FILEATTR_WRITE_GRP", nullptr, kFileattrWriteGrp},
    {"FILEATTR_EXECUTE_GRP", nullptr, kFileattrExecuteGrp},
    {"FILEATTR_READ_OTH", nullptr, kFileattrReadOth},
    {"FILEATTR_WRITE_OTH", nullptr, kFileattrWriteOth},
    {"FILEATTR_EXECUTE_OTH", nullptr, kFileattrExecuteOth},
    {"FILEATTR_READONLY", nullptr, kFileattrReadonly},
    {"FILEATTR_NORMAL", nullptr, kFileattrNormal},

    {"FREESPACE", nullptr, kFreespace},
    {"USEDSPACE", nullptr, kUsedspace},

    {"MEDIA_DOWNLOADS", kMediaDownloads, 0},
    {"MEDIA_IMAGES", kMediaImages, 0},
    {"MEDIA_VIDEOS", kMediaVideos, 0},
    {"MEDIA_MUSIC", kMediaMusic, 0},
    {nullptr, nullptr, 0},
};

const size_t kConstantCount = std::size(kConstants) - 1;

static_assert(std::size(kConstants) - 1 == 63, "the dos table has 63 rows");

}  // namespace tzx::dos
