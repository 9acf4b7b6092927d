#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# on_site.sh SITE COMMAND...: run by lib.sh's start_zeravan_on_site in a user, network and mount
# namespace of its own. There zeravan.example is this machine (SITE/hosts), the certificates
# trusted are SITE/certs, and page_site.py answers for the site; then it becomes COMMAND, and
# the site ends when COMMAND does.
set -euo pipefail
site=$1
shift
ip link set lo up
mount --bind "$site/hosts" /etc/hosts
mount --bind "$site/certs" /etc/ssl/certs
setpriv --pdeathsig KILL "$(dirname "$0")/page_site.py" "$site" &
for _ in $(seq 200); do [ -e "$site/ready" ] && break; sleep 0.05; done
[ -e "$site/ready" ] || { echo "the site did not start" >&2; exit 1; }
exec "$@"
