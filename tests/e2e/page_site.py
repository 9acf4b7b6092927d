#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
# page_site.py SITE: the maker's site as the program reaches it in an end-to-end test, on port 443
# of its own network: https://zeravan.example/zeravan/NAME answers with SITE/zeravan/NAME under
# the certificate SITE/certs/zeravan.pem (key SITE/key.pem). A page waits until SITE/release
# exists; each answer sent is written to SITE/sent. SITE/ready says it listens.
import http.server
import os
import ssl
import sys
import time

site = sys.argv[1]
media_types = {".html": "text/html; charset=utf-8", ".png": "image/png", ".jpg": "image/jpeg",
               ".gif": "image/gif"}


class Site(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        name = os.path.basename(self.path)
        path = os.path.join(site, "zeravan", name)
        if name.endswith(".html"):
            while not os.path.exists(os.path.join(site, "release")):
                time.sleep(0.05)
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as file:
            body = file.read()
        self.send_response(200)
        self.send_header("Content-Type", media_types.get(os.path.splitext(name)[1],
                                                         "application/octet-stream"))
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        with open(os.path.join(site, "sent"), "a") as sent:
            sent.write(self.path + "\n")

    def log_message(self, *arguments):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 443), Site)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(os.path.join(site, "certs", "zeravan.pem"), os.path.join(site, "key.pem"))
server.socket = context.wrap_socket(server.socket, server_side=True)
open(os.path.join(site, "ready"), "w").close()
server.serve_forever()
