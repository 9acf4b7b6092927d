// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// zeravan-page-painter: reads the web band's page from its bytes (its encoding, its markup), lays
// it out and paints it, and decodes its pictures, in a process of its own that the program can
// end at any moment and that the system keeps within its memory. It reads requests on its
// standard input and answers each on its standard output; it ends when its input ends.
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <array>
#include <memory>
#include <string>

#include "page_painting.h"
#include "painter_confinement.h"
#include "picture_decoding.h"

using namespace zeravan::platform;

namespace {

// What one page and its pictures may take beyond what the painter holds once it has started,
// and the processor time it may take for all of them.
constexpr qint64 painterMemoryBytes = 64 << 20;
constexpr int painterCpuSeconds = 30;

bool readExactly(QIODevice& device, char* data, qint64 size) {
    while (size > 0) {
        const qint64 read = device.read(data, size);
        if (read <= 0) return false;
        data += read;
        size -= read;
    }
    return true;
}

// The next request's payload; nothing at the end of the input, or for a request too long or
// from another build. The input is read no further than the frame reaches: the window waits
// for the answer before it asks again.
std::optional<QByteArray> readFrame(QIODevice& in, FrameReader& frames) {
    while (true) {
        if (std::optional<QByteArray> payload = frames.next(maxRequestBytes)) return payload;
        if (frames.fault() != FrameReader::Fault::none) return std::nullopt;
        QByteArray bytes(frames.missing(), Qt::Uninitialized);
        if (!readExactly(in, bytes.data(), bytes.size())) return std::nullopt;
        frames.append(bytes);
    }
}

PaintAnswer answer(std::unique_ptr<PagePainting>& painting, const PaintRequest& request) {
    if (const auto* page = std::get_if<PageToPaint>(&request)) {
        painting = PagePainting::read(*page);
    } else if (!painting || !painting->addPicture(std::get<PictureToAdd>(request))) {
        return std::nullopt;
    }
    if (!painting) return std::nullopt;
    return painting->paint();
}

}  // namespace

int main(int argc, char* argv[]) {
    useBinaryStandardStreams();
    std::string program = argc > 0 ? argv[0] : "zeravan-page-painter";
    std::string platformOption = "-platform";
    std::string platform = painterQtPlatform();
    std::array<char*, 3> arguments = {program.data(), platformOption.data(), platform.data()};
    int argumentCount = int(arguments.size());
    const QGuiApplication application(argumentCount, arguments.data());
    QImageReader::setAllocationLimit(maxDecodingMegabytes);
    confinePainter(painterMemoryBytes, painterCpuSeconds);

    QFile in;
    QFile out;
    if (!in.open(0, QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return 1;
    }
    FrameReader frames;
    std::unique_ptr<PagePainting> painting;
    while (const std::optional<QByteArray> frame = readFrame(in, frames)) {
        const std::optional<PaintRequest> request = parseRequest(*frame);
        if (!request) return 1;
        const QByteArray answerBytes = answerFrame(answer(painting, *request));
        if (out.write(answerBytes) != answerBytes.size()) return 1;
    }
    return frames.fault() == FrameReader::Fault::none && frames.buffered() == 0 ? 0 : 1;
}
