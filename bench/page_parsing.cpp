// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// bench_page_parsing: what reading a 1 MB page costs the band's sanitizer (sanitizePage) and
// libgumbo (Debian's libgumbo-dev): the median time of a few runs and the most memory one run
// holds at once, counted at every allocation (the sanitizer's through operator new, libgumbo's
// through its allocator option).
// bench_page_parsing --gumbo-text FILE...: for each page file (first line the Content-Type),
// what a reader sees of it by libgumbo's tree, as tests/page_markup/page_markup_text prints it,
// to put libgumbo through tests/page_markup/differential.py.
#include <gumbo.h>
#include <malloc.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "inline_style.h"
#include "platform/page_decoding.h"
#include "platform/page_sanitizer.h"

namespace {

using Clock = std::chrono::steady_clock;

// A page of the band's size as sites write them: most of its bytes scripts and styles, then
// 600 elements and 20 KB of text, all within the band's limits.
std::string scriptedPage() {
    std::string page = "<html><head><meta charset=utf-8><title>Zeravan</title>";
    while (page.size() < 950'000) {
        page += "<script>var list = [1, 2, 3]; if (a < b && c > d) { f('</div>'); }</script>";
        page += "<style>.item > a:hover { color: #336699; margin: 0 4px }</style>";
        page += "<!-- a comment of the page's own, with <p>markup</p> inside -->";
    }
    page += "</head><body>";
    for (int i = 0; i < 100; ++i) {
        page += "<div class=item><p>定时关机 item " + std::to_string(i) +
                " &amp; more text &copy; 2026, a sentence of the page's own.</p>"
                "<a href=\"/x/" +
                std::to_string(i) +
                "?a=1&amp;b=2\">link</a>"
                "<span style=\"color: red\">red</span><img src=\"/p.png\" width=4 height=4></div>";
    }
    return page + "</body></html>";
}

// 1 MB of elements: the band stops at its 1000th, libgumbo builds them all.
std::string elementPage() {
    std::string page = "<html><body>";
    for (int i = 0; page.size() < 1'000'000; ++i) {
        page += "<div class=item><a href=\"/x/" + std::to_string(i) + "\">item</a></div>";
    }
    return page;
}

// 1 MB of one <pre> of line breaks: the band stops at its text budget.
std::string linesPage() {
    return "<pre>" + std::string(1'000'000, '\n') + "</pre>";
}

std::size_t heapInUse = 0;
std::size_t heapPeak = 0;

void* counted(void* block) {
    heapInUse += malloc_usable_size(block);
    heapPeak = std::max(heapPeak, heapInUse);
    return block;
}

void uncounted(void* block) {
    heapInUse -= malloc_usable_size(block);
    std::free(block);
}

void* gumboAllocate(void*, std::size_t size) {
    return counted(std::malloc(size));
}

void gumboFree(void*, void* block) {
    if (block != nullptr) uncounted(block);
}

void withGumbo(const std::string& page) {
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = gumboAllocate;
    options.deallocator = gumboFree;
    GumboOutput* output = gumbo_parse_with_options(&options, page.data(), page.size());
    gumbo_destroy_output(&options, output);
}

bool accepted = true;

void withSanitizer(const std::string& page) {
    accepted = zeravan::platform::sanitizePage(page).accepted;
}

// Median milliseconds of nine runs, and the most memory the first held at once.
void measure(const char* parser, const char* pageName, const std::string& page,
             void (*parse)(const std::string&)) {
    heapPeak = heapInUse;
    const std::size_t before = heapInUse;
    parse(page);
    const std::size_t peakKb = (heapPeak - before) / 1024;
    std::vector<double> times;
    for (int run = 0; run < 9; ++run) {
        const auto start = Clock::now();
        parse(page);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-8s %-9s %8zu bytes %8.2f ms %7zu KB at most%s\n", parser, pageName, page.size(),
                times[times.size() / 2], peakKb,
                parse == withSanitizer && !accepted ? " (refused)" : "");
}

// What a reader sees by gumbo's tree, by the rules of tests/page_markup/differential.py.
void gumboText(const GumboNode* node, std::string& text, QJsonArray& pictures) {
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
        node->type == GUMBO_NODE_CDATA) {
        text += node->v.text.text;
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT) return;
    const GumboVector& children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    bool block = false;
    if (node->type == GUMBO_NODE_ELEMENT) {
        const GumboElement& element = node->v.element;
        const std::string name = gumbo_normalized_tagname(element.tag);
        const GumboAttribute* style = gumbo_get_attribute(&element.attributes, "style");
        const bool hidden = gumbo_get_attribute(&element.attributes, "hidden") != nullptr ||
                            (style != nullptr && zeravan::platform::hidesElement(style->value));
        static const std::vector<std::string> neverShown = {
            "script", "style", "template", "title", "noscript", "iframe", "noembed", "noframes"};
        if (hidden || std::find(neverShown.begin(), neverShown.end(), name) != neverShown.end()) {
            return;
        }
        const GumboAttribute* source = gumbo_get_attribute(&element.attributes, "src");
        if (name == "img" && source != nullptr && pictures.size() < 8) {
            const QString trimmed = QString::fromUtf8(source->value).trimmed();
            if (!trimmed.isEmpty()) pictures.append(trimmed);
        }
        static const std::vector<std::string> blocks = {
            "address", "blockquote", "body", "br",      "caption",   "center",   "dd",     "div",
            "dl",      "dt",         "h1",   "h2",      "h3",        "h4",       "h5",     "h6",
            "hr",      "li",         "ol",   "p",       "pre",       "table",    "td",     "th",
            "tr",      "ul",         "xmp",  "listing", "plaintext", "textarea", "section"};
        block = std::find(blocks.begin(), blocks.end(), name) != blocks.end();
    }
    if (block) text += ' ';
    for (unsigned i = 0; i < children.length; ++i) {
        gumboText(static_cast<const GumboNode*>(children.data[i]), text, pictures);
    }
    if (block) text += ' ';
}

int gumboTexts(int count, char** files) {
    for (int i = 0; i < count; ++i) {
        QFile file(QString::fromLocal8Bit(files[i]));
        if (!file.open(QIODevice::ReadOnly)) return 2;
        const QByteArray contentType = file.readLine().chopped(1);
        const std::string page =
            zeravan::platform::decodedPage(QString::fromLatin1(contentType), file.readAll())
                .toStdString();
        GumboOutput* output =
            gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
        std::string text;
        QJsonArray pictures;
        gumboText(output->document, text, pictures);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
        const QJsonObject result{
            {"accepted", true}, {"text", QString::fromStdString(text)}, {"pictures", pictures}};
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    }
    return 0;
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) return counted(block);
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    if (block != nullptr) uncounted(block);
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--gumbo-text") return gumboTexts(argc - 2, argv + 2);
    const std::pair<const char*, std::string (*)()> pages[] = {
        {"scripted", scriptedPage}, {"elements", elementPage}, {"lines", linesPage}};
    for (const auto& [name, make] : pages) {
        const std::string page = make();
        measure("sanitizer", name, page, withSanitizer);
        measure("gumbo", name, page, withGumbo);
    }
    return 0;
}
