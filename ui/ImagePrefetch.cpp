#include "ui/ImagePrefetch.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "ui/DisplayScale.h"
#include "ui/ImageDescription.h"
#include "ui/ImageResample.h"
#include "ui/PixelOps.h"
#include "ui/ResourceLocation.h"

namespace tessel {
namespace {

struct Job {
    std::wstring name;  // the image's own name; the map's key is the file's
    int filePercent = 100;
    int percent = 100;
    std::vector<uint8_t> bytes;
    std::optional<DecodedImage> decoded;            // a file drawn for the scale
    std::optional<ImagePrefetch::Resized> resized;  // another scale's file, resized
    bool done = false;
};

struct Prefetch {
    std::mutex mutex;
    std::condition_variable finished;
    std::map<std::wstring, Job, std::less<>> jobs;  // by file name
    std::jthread worker;                            // last: joined first when the process ends
};

// The whole of `decoded`, drawn for `filePercent`, at `percent`; nothing when it cannot be made.
// `decoded` is released as soon as it is converted, before the resizing needs its memory.
std::optional<ImagePrefetch::Resized> ResizeWhole(DecodedImage decoded, int filePercent,
                                                  int percent) {
    const UiSize size{decoded.width, decoded.height};
    const size_t count = static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy);
    std::vector<uint32_t> premultiplied(count);
    ImagePrefetch::Resized resized;
    resized.hasAlpha = ConvertRgbaToPremultiplied(decoded.rgba, premultiplied, 0);
    std::vector<uint8_t>().swap(decoded.rgba);
    DisplayScale file;  // the scale the file was drawn for
    file.SetPercent(filePercent);
    resized.size = {ScaleByPercent(file.Unscale(size.cx), percent),
                    ScaleByPercent(file.Unscale(size.cy), percent)};
    resized.pixels.resize(static_cast<size_t>(resized.size.cx) *
                          static_cast<size_t>(resized.size.cy));
    if (!ResamplePremultiplied(premultiplied, size, {0, 0, size.cx, size.cy}, resized.pixels,
                               resized.size)) {
        return std::nullopt;
    }
    return resized;
}

Prefetch& State() {
    static Prefetch state;
    return state;
}

void DecodeAll(Prefetch& state) {
    std::unique_lock lock(state.mutex);
    for (auto& [file, job] : state.jobs) {
        const std::vector<uint8_t> bytes = std::move(job.bytes);
        const int filePercent = job.filePercent;
        const int percent = job.percent;
        lock.unlock();
        std::optional<DecodedImage> decoded = DecodeImage(bytes);
        std::optional<ImagePrefetch::Resized> resized;
        if (decoded && filePercent != percent) {
            resized = ResizeWhole(*std::move(decoded), filePercent, percent);
            decoded.reset();
        }
        lock.lock();
        job.decoded = std::move(decoded);
        job.resized = std::move(resized);
        job.done = true;
        state.finished.notify_all();
    }
}

}  // namespace

void ImagePrefetch::Start(std::span<const std::wstring> names, int percent) {
    Prefetch& state = State();
    {
        std::lock_guard lock(state.mutex);
        if (state.worker.joinable()) {
            return;  // once per process
        }
        for (const std::wstring& name : names) {
            for (const ImageVariant& variant : ImageVariantsFor(name, percent)) {
                std::vector<uint8_t> bytes = ReadSkinResourceBytes(variant.name);
                if (!bytes.empty()) {
                    Job& job = state.jobs[variant.name];
                    job.name = name;
                    job.filePercent = variant.percent;
                    job.percent = percent;
                    job.bytes = std::move(bytes);
                    break;
                }
            }
        }
        if (state.jobs.empty()) {
            return;
        }
    }
    // No job is added after this point, so the worker walks a map that keeps its shape.
    state.worker = std::jthread([&state] { DecodeAll(state); });
}

std::optional<DecodedImage> ImagePrefetch::Take(std::wstring_view fileName) {
    Prefetch& state = State();
    std::unique_lock lock(state.mutex);
    const auto it = state.jobs.find(fileName);
    if (it == state.jobs.end()) {
        return std::nullopt;
    }
    state.finished.wait(lock, [&] { return it->second.done; });
    std::optional<DecodedImage> decoded = std::move(it->second.decoded);
    it->second.decoded.reset();
    return decoded;
}

std::optional<ImagePrefetch::Resized> ImagePrefetch::TakeResized(std::wstring_view name,
                                                                 int percent) {
    Prefetch& state = State();
    std::unique_lock lock(state.mutex);
    for (auto& [file, job] : state.jobs) {
        if (job.name != name || job.percent != percent || job.filePercent == percent) {
            continue;
        }
        state.finished.wait(lock, [&] { return job.done; });
        std::optional<Resized> resized = std::move(job.resized);
        job.resized.reset();
        return resized;
    }
    return std::nullopt;
}

}  // namespace tessel
