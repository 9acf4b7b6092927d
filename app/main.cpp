// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "startup.h"

int main(int argc, char** argv) {
    return zeravan::app::run(argc, argv);
}
