// JPEG through libjpeg. Its errors end in a longjmp: the functions that set the
// jump point keep every resource in a plain job record owned by their caller,
// hold no object with a destructor, and the caller frees what the job holds
// however the work ended.
#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
// jerror.h lists the arithmetic-coding messages by the configuration that
// jpeglib.h brings in.
#include <jpeglib.h>
// clang-format off
#include <jerror.h>
// clang-format on
}

#include "picture.h"
#include "tzx/graphics_constants.h"

namespace tzx::host::imageio {
namespace {

// A progressive file may hold any number of scans, each a pass over the whole
// picture; real files have a few dozen.
constexpr int kMaxScans = 1000;
// Working memory libjpeg may take beyond the pixels (progressive coefficients).
constexpr long kMaxWorkingMemory = 1L << 30;
constexpr size_t kOutputChunk = 65536;

struct JpegJob {
  jpeg_error_mgr errors;
  jmp_buf jump;
  Status failure = Status::kOk;  // a status the failing message chose
  bool ranOut = false;
  bool endedInRefinement = false;  // a progressive file cut after its DC passes
  // Decoding.
  jpeg_decompress_struct decoder;
  bool decoderMade = false;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  const uint8_t* data = nullptr;
  size_t size = 0;
  Picture picture;
  uint8_t* cmykRow = nullptr;
  // Encoding.
  jpeg_compress_struct encoder;
  bool encoderMade = false;
  jpeg_destination_mgr destination;
  ByteBuffer* out = nullptr;
  uint8_t* chunk = nullptr;
  uint32_t* row = nullptr;
};

JpegJob* JobOf(j_common_ptr cinfo) {
  return static_cast<JpegJob*>(cinfo->client_data);
}

void OnErrorExit(j_common_ptr cinfo) {
  JpegJob* job = JobOf(cinfo);
  if (job->failure == Status::kOk) {
    switch (cinfo->err->msg_code) {
      case JERR_OUT_OF_MEMORY:
      case JERR_NO_BACKING_STORE:
        job->failure = Status::kNoMemory;
        break;
      case JERR_IMAGE_TOO_BIG:
        job->failure = Status::kTooLarge;
        break;
      case JERR_BAD_PRECISION:
        job->failure = Status::kUnsupportedDepth;
        break;
      case JERR_CONVERSION_NOTIMPL:
        job->failure = Status::kUnsupported;
        break;
      default:
        job->failure = job->ranOut ? Status::kTruncated : Status::kCorrupt;
    }
  }
  std::longjmp(job->jump, 1);
}

// Warnings about damaged data mean that part of the picture is made up: the
// file is refused rather than shown with grey blocks.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level != -1) return;
  switch (cinfo->err->msg_code) {
    case JWRN_HIT_MARKER:
      // The end put in place of the missing refinement data.
      if (JobOf(cinfo)->endedInRefinement) break;
      [[fallthrough]];
#ifdef D_ARITH_CODING_SUPPORTED
    case JWRN_ARITH_BAD_CODE:
#endif
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_JPEG_EOF:
    case JWRN_NOT_SEQUENTIAL:
      JobOf(cinfo)->failure = Status::kCorrupt;
      std::longjmp(JobOf(cinfo)->jump, 1);
    default:
      break;
  }
}

void OnProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    JobOf(cinfo)->failure = Status::kCorrupt;
    std::longjmp(JobOf(cinfo)->jump, 1);
  }
}

void SetUpErrors(JpegJob* job, j_common_ptr cinfo) {
  cinfo->err = jpeg_std_error(&job->errors);
  job->errors.error_exit = OnErrorExit;
  job->errors.emit_message = OnMessage;
  cinfo->client_data = job;
}

// A progressive file whose every component has its DC pass complete shows the
// whole picture: a cut in a later pass only lowers the quality of some
// blocks. A cut in a DC pass, or in a sequential file, would leave blocks
// with nothing but invented grey.
bool EveryBlockHasItsDc(j_decompress_ptr d) {
  if (!d->progressive_mode || d->input_scan_number < 1 || !d->coef_bits) return false;
  if (d->Ss == 0 && d->Ah == 0) return false;  // the cut pass is a first DC pass
  for (int c = 0; c < d->num_components; ++c) {
    if (d->coef_bits[c][0] < 0) return false;
  }
  return true;
}

// The whole file is in memory: asking for more means that it ended early.
// Where the picture is complete without the rest, the decoder is handed an
// end marker and finishes with what it has.
void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr cinfo) {
  static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
  JpegJob* job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  job->ranOut = true;
  if (job->endedInRefinement || EveryBlockHasItsDc(cinfo)) {
    job->endedInRefinement = true;
    cinfo->src->next_input_byte = kEnd;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
  }
  ERREXIT(cinfo, JERR_INPUT_EOF);
  return FALSE;
}
void SkipInput(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
    FillInput(cinfo);
    return;
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= count;
}
void TermSource(j_decompress_ptr) {}

void ConvertCmykRow(const uint8_t* cmyk, int32_t width, bool inverted, uint32_t* out) {
  for (int32_t x = 0; x < width; ++x, cmyk += 4) {
    uint32_t c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    // Adobe files store the inks inverted; others store them as they are.
    if (!inverted) {
      c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    }
    out[x] =
        0xFF000000u | (c * k + 127) / 255 << 16 | (m * k + 127) / 255 << 8 | (y * k + 127) / 255;
  }
}

// Sets the jump point; see the file's first comment.
Status RunDecode(JpegJob* job, bool headerOnly, bool pens, const Limits* limits,
                 PictureInfo* info) {
  if (setjmp(job->jump)) return job->failure;
  j_decompress_ptr d = &job->decoder;
  SetUpErrors(job, reinterpret_cast<j_common_ptr>(d));
  jpeg_create_decompress(d);
  job->decoderMade = true;
  d->mem->max_memory_to_use = kMaxWorkingMemory;
  job->progress.progress_monitor = OnProgress;
  d->progress = &job->progress;
  job->source.init_source = InitSource;
  job->source.fill_input_buffer = FillInput;
  job->source.skip_input_data = SkipInput;
  job->source.resync_to_restart = jpeg_resync_to_restart;
  job->source.term_source = TermSource;
  job->source.next_input_byte = job->data;
  job->source.bytes_in_buffer = job->size;
  d->src = &job->source;
  if (jpeg_read_header(d, TRUE) != JPEG_HEADER_OK) return Status::kCorrupt;

  const bool grey = d->num_components == 1;
  info->format = graphics::kImgfmtJpeg;
  info->width = static_cast<int32_t>(d->image_width);
  info->height = static_cast<int32_t>(d->image_height);
  info->depth = grey ? 8 : 24;
  Status sized = CheckSize(d->image_width, d->image_height, *limits);
  if (sized != Status::kOk || headerOnly) return sized;

  const bool cmyk = d->jpeg_color_space == JCS_CMYK || d->jpeg_color_space == JCS_YCCK;
  if (!grey && !cmyk && d->num_components != 3) return Status::kUnsupported;
  const bool asPens = pens && grey;
  d->out_color_space = asPens ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(d);
  if (d->output_width != d->image_width || d->output_height != d->image_height) {
    return Status::kUnsupported;
  }
  const size_t width = d->output_width, height = d->output_height;
  Picture& p = job->picture;
  uint8_t* pixels;
  size_t rowBytes;
  if (asPens) {
    p.palette = static_cast<uint32_t*>(AllocPlane(256, 4, false));
    p.indices = static_cast<uint8_t*>(AllocPlane(width, height, false));
    if (!p.palette || !p.indices) return Status::kNoMemory;
    for (uint32_t i = 0; i < 256; ++i) p.palette[i] = i * 0x010101u;
    std::memset(p.paletteAlpha, 255, sizeof p.paletteAlpha);
    pixels = p.indices;
    rowBytes = width;
  } else {
    p.argb = AllocArgb(info->width, info->height);
    if (!p.argb) return Status::kNoMemory;
    pixels = reinterpret_cast<uint8_t*>(p.argb);
    rowBytes = size_t{4} * graphics::ColorRowPixels(info->width);
    if (cmyk) {
      job->cmykRow = static_cast<uint8_t*>(AllocPlane(width, 4, false));
      if (!job->cmykRow) return Status::kNoMemory;
    }
  }
  while (d->output_scanline < d->output_height) {
    const size_t y = d->output_scanline;
    JSAMPROW row = cmyk ? job->cmykRow : pixels + y * rowBytes;
    if (jpeg_read_scanlines(d, &row, 1) != 1) return Status::kCorrupt;
    if (cmyk) {
      ConvertCmykRow(job->cmykRow, d->output_width, d->saw_Adobe_marker,
                     reinterpret_cast<uint32_t*>(pixels + y * rowBytes));
    }
  }
  // Every pixel is decoded; what may follow the last scan is not needed.
  return Status::kOk;
}

Status Decode(const uint8_t* data, size_t size, bool headerOnly, bool pens, const Limits& limits,
              PictureInfo* info, Picture* out) {
  JpegJob job{};
  job.data = data;
  job.size = size;
  Status status = RunDecode(&job, headerOnly, pens, &limits, info);
  if (job.decoderMade) jpeg_destroy_decompress(&job.decoder);
  FreePlane(job.cmykRow);
  if (status == Status::kOk && out) {
    job.picture.info = *info;
    *out = job.picture;
  } else {
    ReleasePicture(&job.picture);
  }
  return status;
}

void InitDestination(j_compress_ptr cinfo) {
  JpegJob* job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  cinfo->dest->next_output_byte = job->chunk;
  cinfo->dest->free_in_buffer = kOutputChunk;
}
boolean EmptyOutput(j_compress_ptr cinfo) {
  JpegJob* job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  if (!Append(job->out, job->chunk, kOutputChunk)) {
    job->failure = Status::kNoMemory;
    std::longjmp(job->jump, 1);
  }
  InitDestination(cinfo);
  return TRUE;
}
void TermDestination(j_compress_ptr cinfo) {
  JpegJob* job = JobOf(reinterpret_cast<j_common_ptr>(cinfo));
  if (!Append(job->out, job->chunk, kOutputChunk - cinfo->dest->free_in_buffer)) {
    job->failure = Status::kNoMemory;
    std::longjmp(job->jump, 1);
  }
}

// Sets the jump point; see the file's first comment.
Status RunEncode(JpegJob* job, const SaveSource* s) {
  if (setjmp(job->jump)) return job->failure;
  j_compress_ptr e = &job->encoder;
  SetUpErrors(job, reinterpret_cast<j_common_ptr>(e));
  jpeg_create_compress(e);
  job->encoderMade = true;
  job->chunk = static_cast<uint8_t*>(AllocPlane(kOutputChunk, 1, false));
  job->row = static_cast<uint32_t*>(AllocPlane(s->width, 4, false));
  if (!job->chunk || !job->row) return Status::kNoMemory;
  job->destination.init_destination = InitDestination;
  job->destination.empty_output_buffer = EmptyOutput;
  job->destination.term_destination = TermDestination;
  e->dest = &job->destination;
  e->image_width = s->width;
  e->image_height = s->height;
  e->input_components = 4;
  e->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(e);
  jpeg_set_quality(e, s->quality < 0 ? 0 : s->quality > 100 ? 100 : s->quality, TRUE);
  jpeg_start_compress(e, TRUE);
  for (int32_t y = 0; y < s->height; ++y) {
    ComposeRow(*s, y, true, job->row);
    if (s->flatten) FlattenRow(job->row, s->width, s->fillColor);
    JSAMPROW row = reinterpret_cast<JSAMPROW>(job->row);
    jpeg_write_scanlines(e, &row, 1);
  }
  jpeg_finish_compress(e);
  return Status::kOk;
}

}  // namespace

Status ProbeJpeg(const uint8_t* data, size_t size, const Limits& limits, PictureInfo* info) {
  return Decode(data, size, true, false, limits, info, nullptr);
}

Status DecodeJpeg(const uint8_t* data, size_t size, bool pens, const Limits& limits, Picture* out) {
  PictureInfo info;
  return Decode(data, size, false, pens, limits, &info, out);
}

Status EncodeJpeg(const SaveSource& source, ByteBuffer* out) {
  JpegJob job{};
  job.out = out;
  Status status = RunEncode(&job, &source);
  if (job.encoderMade) jpeg_destroy_compress(&job.encoder);
  FreePlane(job.chunk);
  FreePlane(job.row);
  if (status != Status::kOk) ReleaseBuffer(out);
  return status;
}

}  // namespace tzx::host::imageio
