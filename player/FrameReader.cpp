#include "player/FrameReader.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>

namespace {

// The player takes the first frame from a little before the time it seeks
// to, so that a frame whose time was rounded in the file still counts.
constexpr double kToleranceSeconds = 0.005;

// Where the file has no index of its own (the demuxer builds one as it
// reads), a time at most this far past what has been read is decoded on
// to, a farther one seeks.
constexpr double kBlindStretchSeconds = 5.0;

// A move that lands past its time goes this much further back at first,
// twice as far each time after, up to the longest stretch between
// keyframes such files have; none goes back further than this before the
// start of the file.
constexpr double kFirstLeadSeconds = 1.0;
constexpr double kLongestLeadSeconds = 16.0;
constexpr double kBeforeStartSeconds = 1.0;

// The end of what can be read of a damaged file is found to this nearness
// before the last frame is decoded on to.
constexpr double kEndNearnessSeconds = 1.0;

}  // namespace

struct FrameReader::Codec {
  AVFormatContext* format = nullptr;
  AVCodecContext* decoder = nullptr;
  SwsContext* scale = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* held = nullptr;      // the frame taken last, the answer if the next time still falls before it
  AVFrame* incoming = nullptr;  // the decoder's next frame
  bool hasHeld = false;
  int stream = -1;
  double timeBase = 0;  // seconds per tick of the stream's times
  int64_t start = 0;    // the file's start in the stream's ticks: the player's time 0
  int64_t videoStart = AV_NOPTS_VALUE;  // the video's own first time
  double frameRate = 0;
  // Where the reader stands: the latest decode time of a packet read since
  // it last moved (none: at the start of the file or just after a move).
  int64_t readTo = AV_NOPTS_VALUE;
  int64_t movedTo = 0;       // the time of the last move, where nothing was read since
  int openedEntries = 0;     // the index's entries once opened
  bool flushing = false;     // the end was reached and the decoder is giving up what it holds
  double lastFrom = -1e300;  // the time the last frame was asked from
  // Of the packets sent to be decoded in full since then, the earliest
  // time at or after it: a later frame cannot be the one asked for.
  int64_t earliestAfter = AV_NOPTS_VALUE;
  int seeks = 0;
  // How far before its time a move goes. None until a move of this file
  // landed past its time: a container that finds its place by the times of
  // the packets (MPEG program and transport streams) can land after the
  // keyframe before it. Its index lists the places its searches passed,
  // keyframes or not, and is not trusted either.
  double lead = 0;
  // After a move until its first frame: the time the move was for, which
  // that frame must not be past.
  bool landing = false;
  double movedFor = 0;
  double lastFrame = std::numeric_limits<double>::quiet_NaN();  // the time of the frame decoded last

  ~Codec() {
    sws_freeContext(scale);
    av_frame_free(&held);
    av_frame_free(&incoming);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
  }

  bool Open(const QString& path) {
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    const AVCodec* codec = nullptr;
    stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (stream < 0 || !codec) return false;
    const AVStream* video = format->streams[stream];
    // Only the video's packets are wanted.
    for (unsigned i = 0; i < format->nb_streams; ++i) {
      if (static_cast<int>(i) != stream) format->streams[i]->discard = AVDISCARD_ALL;
    }
    decoder = avcodec_alloc_context3(codec);
    if (!decoder || avcodec_parameters_to_context(decoder, video->codecpar) < 0) return false;
    decoder->thread_count = 0;  // as many threads as the cores it may run on
    if (avcodec_open2(decoder, codec, nullptr) < 0) return false;
    packet = av_packet_alloc();
    held = av_frame_alloc();
    incoming = av_frame_alloc();
    if (!packet || !held || !incoming) return false;
    timeBase = av_q2d(video->time_base);
    if (format->start_time != AV_NOPTS_VALUE) {
      start = av_rescale_q(format->start_time, AV_TIME_BASE_Q, video->time_base);
    }
    videoStart = video->start_time;
    if (frameRate <= 0 && video->avg_frame_rate.num > 0 && video->avg_frame_rate.den > 0) {
      frameRate = av_q2d(video->avg_frame_rate);
    }
    if (timeBase <= 0) return false;
    // A move to the start makes a container that reads its index only when
    // asked to seek (Matroska) read it now; a file that cannot seek is read
    // from where it stands.
    movedTo = start;
    Move(0);
    openedEntries = avformat_index_get_entries_count(format->streams[stream]);
    return true;
  }

  enum class Next { Frame, End, Stopped };

  double Seconds(int64_t ticks) const { return static_cast<double>(ticks - start) * timeBase; }
  // The tick a time falls in (a time a hair short of a tick, after the
  // arithmetic of seconds, counts as that tick).
  int64_t Ticks(double seconds) const { return start + static_cast<int64_t>(std::floor(seconds / timeBase + 1e-6)); }

  static int64_t FrameTicks(const AVFrame* frame) {
    return frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  }

  // Whether reaching `time` (taking frames from `from` on) needs a move:
  // backwards, or to a keyframe past where the reader stands. An index that
  // grew as the file was read (a container without one of its own) knows
  // nothing ahead of the reading: a short stretch is then read on, a long
  // one moved over.
  bool MustSeek(double time, double from) const {
    if (from < lastFrom) return true;
    // Past the end of what can be read, the last frame is the answer.
    if (flushing && hasHeld) return false;
    AVStream* video = format->streams[stream];
    const int64_t at = readTo != AV_NOPTS_VALUE ? readTo : movedTo;
    int64_t want = Ticks(time);
    if (format->duration > 0) {
      want = std::min(want, start + av_rescale_q(format->duration, AV_TIME_BASE_Q, video->time_base));
    }
    const int entries = avformat_index_get_entries_count(video);
    const int key = entries > 0 ? av_index_search_timestamp(video, want, AVSEEK_FLAG_BACKWARD) : -1;
    const AVIndexEntry* keyEntry = key >= 0 ? avformat_index_get_entry(video, key) : nullptr;
    if (keyEntry && lead == 0 && keyEntry->timestamp > at) return true;
    if (keyEntry && lead == 0 && entries == openedEntries) return false;
    return Seconds(want) - Seconds(at) > kBlindStretchSeconds;
  }

  // To the keyframe at or before `time` in the video's own index, as the
  // player seeks (a keyframe at the very time is not passed over), or as
  // far before it as this file's moves need.
  bool Move(double time) {
    movedFor = std::max(time, 0.0);
    return MoveTo(movedFor - lead);
  }

  bool MoveTo(double time) {
    const int64_t ticks = Ticks(time);
    // A file that cannot seek is read on from where it is.
    if (av_seek_frame(format, stream, ticks, AVSEEK_FLAG_BACKWARD) < 0) return false;
    avcodec_flush_buffers(decoder);
    av_frame_unref(held);
    hasHeld = false;
    readTo = AV_NOPTS_VALUE;
    earliestAfter = AV_NOPTS_VALUE;
    movedTo = ticks;
    flushing = false;
    landing = true;
    return true;
  }

  // Whether the first frame after a move is past the time the move was
  // for (the video's first frame is past any time before it).
  bool LandedPast() const {
    const int64_t ticks = FrameTicks(held);
    const int64_t wanted = videoStart != AV_NOPTS_VALUE ? std::max(Ticks(movedFor), videoStart) : Ticks(movedFor);
    return ticks != AV_NOPTS_VALUE && ticks > wanted;
  }

  // After a move that landed past its time: this move and every later one
  // go further back, until one lands in time or goes back before the start.
  bool Retreat() {
    if (lead >= kLongestLeadSeconds || movedFor - lead <= -kBeforeStartSeconds) return false;
    const double further = lead > 0 ? std::min(lead * 2, kLongestLeadSeconds) : kFirstLeadSeconds;
    if (!MoveTo(movedFor - further)) return false;
    lead = further;
    ++seeks;
    return true;
  }

  // After a move that found no frame before the end of what can be read
  // (a damaged file): the last time before that end that gives a frame,
  // found by halving the stretch between a time that gives one (the frame
  // decoded last, else the start) and one that gives none. The reader
  // stands there with that frame, to decode on to the end.
  Next FindEnd(double from, const std::function<bool()>& keepReading) {
    double gives = !std::isnan(lastFrame) && lastFrame < movedFor ? lastFrame : 0.0;
    double givesNone = movedFor;
    bool standsAtGives = false;
    while (givesNone - gives > kEndNearnessSeconds) {
      const double middle = (gives + givesNone) / 2;
      const Next next = Probe(middle, from, keepReading);
      if (next == Next::Stopped) return next;
      standsAtGives = next == Next::Frame;
      (standsAtGives ? gives : givesNone) = middle;
    }
    const Next next = standsAtGives ? Next::Frame : Probe(gives, from, keepReading);
    landing = false;
    return next;
  }

  // A move to `time` and its first frame.
  Next Probe(double time, double from, const std::function<bool()>& keepReading) {
    ++seeks;
    if (!Move(time)) return Next::End;
    return NextFrame(from, from, keepReading);
  }

  // A packet whose frame no time asked for needs, unless it is a
  // reference: before `from`, or after a frame already on its way for it
  // and before `fromNext`, where the next time asked for starts.
  bool Unneeded(int64_t pts, double from, double fromNext) const {
    if (pts == AV_NOPTS_VALUE) return false;
    const double seconds = Seconds(pts);
    return seconds < from || (earliestAfter != AV_NOPTS_VALUE && pts > earliestAfter && seconds < fromNext);
  }

  // The next frame from the decoder into `held`, reading packets as it
  // needs them.
  Next NextFrame(double from, double fromNext, const std::function<bool()>& keepReading) {
    for (;;) {
      const int received = avcodec_receive_frame(decoder, incoming);
      if (received == 0) {
        av_frame_unref(held);
        av_frame_move_ref(held, incoming);
        hasHeld = true;
        // The frames a damaged end leaves without a time follow the one before.
        if (FrameTicks(held) == AV_NOPTS_VALUE && !landing && !std::isnan(lastFrame) && frameRate > 0) {
          held->best_effort_timestamp = Ticks(lastFrame + 1 / frameRate);
        }
        if (FrameTicks(held) != AV_NOPTS_VALUE) lastFrame = Seconds(FrameTicks(held));
        return Next::Frame;
      }
      if (received != AVERROR(EAGAIN) || flushing) return Next::End;
      if (keepReading && !keepReading()) return Next::Stopped;
      if (av_read_frame(format, packet) < 0) {
        // The end of the file, or of what can be read of it.
        flushing = true;
        decoder->skip_frame = AVDISCARD_DEFAULT;
        avcodec_send_packet(decoder, nullptr);
        continue;
      }
      if (packet->stream_index == stream) {
        const int64_t decodeTicks = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        if (decodeTicks != AV_NOPTS_VALUE && (readTo == AV_NOPTS_VALUE || decodeTicks > readTo)) readTo = decodeTicks;
        // A non-reference frame that is never shown is not decoded at all.
        const bool unneeded = Unneeded(packet->pts, from, fromNext);
        decoder->skip_frame = unneeded ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        // A damaged packet is passed over.
        if (avcodec_send_packet(decoder, packet) >= 0 && !unneeded && packet->pts != AV_NOPTS_VALUE &&
            Seconds(packet->pts) >= from && (earliestAfter == AV_NOPTS_VALUE || packet->pts < earliestAfter)) {
          earliestAfter = packet->pts;
        }
      }
      av_packet_unref(packet);
    }
  }

  // The frame in 32-bit pixels at `size`, or at its display size (its
  // pixels' shape applied, as the player shows it) when `size` is empty.
  QImage Converted(AVFrame* frame, QSize size) {
    QSize out = size;
    if (out.isEmpty()) {
      const AVRational shape = av_guess_sample_aspect_ratio(format, format->streams[stream], frame);
      int width = frame->width;
      if (shape.num > 0 && shape.den > 0) {
        width = std::max(1, static_cast<int>(std::lround(static_cast<double>(frame->width) * shape.num / shape.den)));
      }
      out = QSize(width, frame->height);
    }
    scale = sws_getCachedContext(scale, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                 out.width(), out.height(), AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scale) return {};
    // Unmarked video is read as the player reads it: high definition by
    // BT.709, the rest by BT.601, in the limited range. Set for every frame:
    // a new scaler (another size) starts from its defaults.
    int space = frame->colorspace;
    if (space == AVCOL_SPC_UNSPECIFIED || space == AVCOL_SPC_RESERVED) {
      space = frame->width >= 1280 || frame->height > 576 ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
    }
    const int range = frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0;
    sws_setColorspaceDetails(scale, sws_getCoefficients(space), range, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
                             1 << 16, 1 << 16);
    // The converter writes whole blocks of pixels, past the end of a row
    // whose width is not a multiple of its block: every row has room to
    // spare, and so has the last.
    const int stride = (out.width() * 4 + 63) / 64 * 64 + 64;
    auto* bytes = static_cast<uchar*>(av_malloc(static_cast<size_t>(stride) * (out.height() + 1)));
    if (!bytes) return {};
    QImage picture(bytes, out.width(), out.height(), stride, QImage::Format_RGB32, av_free, bytes);
    uint8_t* planes[4] = {bytes, nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, strides);
    return picture;
  }
};

FrameReader::FrameReader(const QString& path, double frameRate) : codec_(std::make_unique<Codec>()) {
  codec_->frameRate = frameRate;
  if (!codec_->Open(path)) codec_.reset();
}

FrameReader::~FrameReader() = default;

bool FrameReader::IsOpen() const { return codec_ != nullptr; }

int FrameReader::Seeks() const { return codec_ ? codec_->seeks : 0; }

// As the player seeks: to the start of the frame period the time falls in,
// and from a little before it.
double FrameReader::From(double seconds) const {
  double snapped = std::max(seconds, 0.0);
  if (codec_ && codec_->frameRate > 0) snapped = std::floor(snapped * codec_->frameRate + 1e-6) / codec_->frameRate;
  return snapped - kToleranceSeconds;
}

std::optional<FrameReader::Frame> FrameReader::FrameAt(double seconds, QSize size,
                                                       const std::function<bool()>& keepReading,
                                                       double nextSeconds) {
  if (!codec_) return std::nullopt;
  Codec& c = *codec_;
  const double from = From(seconds);
  // Unknown, the next time may want any frame after this one.
  const double fromNext = std::isnan(nextSeconds) ? from : std::isinf(nextSeconds) ? nextSeconds : From(nextSeconds);
  const double time = from + kToleranceSeconds;
  if (c.MustSeek(time, from) && c.Move(time)) ++c.seeks;
  if (from != c.lastFrom) c.earliestAfter = AV_NOPTS_VALUE;
  c.lastFrom = from;
  // The first frame from `from` on; the frame taken last counts when the
  // time still falls before it, and past the end the last frame is taken.
  for (;;) {
    if (c.hasHeld) {
      const int64_t ticks = Codec::FrameTicks(c.held);
      if (ticks == AV_NOPTS_VALUE || c.Seconds(ticks) >= from) break;
    }
    Codec::Next next = c.NextFrame(from, fromNext, keepReading);
    // A move that landed past its time goes further back; one that found
    // nothing before a damaged end goes back to the last frame before it.
    if (next == Codec::Next::Frame && c.landing && c.LandedPast() && c.Retreat()) continue;
    if (next == Codec::Next::End && c.landing) next = c.FindEnd(from, keepReading);
    c.landing = false;
    if (next == Codec::Next::Stopped) return std::nullopt;
    if (next == Codec::Next::End) break;
  }
  if (!c.hasHeld) return std::nullopt;
  const int64_t ticks = Codec::FrameTicks(c.held);
  Frame frame;
  frame.picture = c.Converted(c.held, size);
  frame.seconds = ticks == AV_NOPTS_VALUE ? from + kToleranceSeconds : c.Seconds(ticks);
  if (frame.picture.isNull()) return std::nullopt;
  return frame;
}
