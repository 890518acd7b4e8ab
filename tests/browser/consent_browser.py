#!/usr/bin/python3
"""The consent banner in a real browser: Debian's chromium, driven through chromium-driver, loads a
site that the program wired for consent from a local HTTPS server that stands in for every host,
so each request a page makes to a service's host is seen here.

Usage: consent_browser.py CLAUSEWRIGHT SITE_SOURCE
Exit status 0 when every check holds, 1 when one fails, 77 (skipped) when chromium cannot start.
"""
import http.server
import os
import shutil
import socketserver
import ssl
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SITE_HOST = "site.test"
ANALYTICS = "www.googletagmanager.com"
ADS = "pagead2.googlesyndication.com"
VIDEO = "www.youtube.com"


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def serve(site, certificate, key):
    requests = []

    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def do_GET(self):
            host = (self.headers.get("Host") or "").split(":")[0]
            requests.append((host, self.path))
            if host == SITE_HOST:
                path = os.path.normpath(self.path.split("?")[0]).lstrip("/") or "index.html"
                full = os.path.join(site, path)
                if not os.path.isfile(full):
                    self.send_error(404)
                    return
                kind = {".html": "text/html", ".js": "text/javascript", ".css": "text/css"}
                body = open(full, "rb").read()
                self.send_response(200)
                self.send_header("Content-Type", kind.get(os.path.splitext(full)[1], "text/plain"))
            else:  # a service's host: a script or page that does nothing
                body = b"/* stand-in */" if ".js" in self.path or "/js" in self.path else b"<p>x</p>"
                self.send_response(200)
                self.send_header("Content-Type",
                                 "text/javascript" if body.startswith(b"/*") else "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

    server = Server(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, requests


def browser(port, profile, gpc=False):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--ignore-certificate-errors",
                 "--disable-dev-shm-usage", "--window-size=1200,900",
                 "--user-data-dir=" + profile,
                 "--host-resolver-rules=MAP * 127.0.0.1:%d, EXCLUDE localhost" % port):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    driver.set_page_load_timeout(30)
    if gpc:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source":
            "Object.defineProperty(Navigator.prototype, 'globalPrivacyControl',"
            " {get: () => true, configurable: true});"})
    return driver


def wait(condition, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


def main():
    program, source = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="cw-browser-")
    failures = []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            failures.append(what)

    try:
        site = os.path.join(work, "site")
        shutil.copytree(source, site)
        original = open(os.path.join(site, "index.html"), "rb").read()
        facts = os.path.join(work, "legal-facts.toml")
        with open(facts, "wb") as out:
            subprocess.run([program, "facts", site], stdout=out, check=True)
        subprocess.run([program, "pages", site, "--facts", facts, "--consent"], check=True)
        certificate, key = os.path.join(work, "crt.pem"), os.path.join(work, "key.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                        "-out", certificate, "-days", "2", "-subj", "/CN=" + SITE_HOST],
                       check=True, capture_output=True)
        server, requests = serve(site, certificate, key)
        port = server.server_address[1]
        profiles = iter(range(100))

        def session(gpc=False):
            requests.clear()
            try:
                driver = browser(port, os.path.join(work, "profile%d" % next(profiles)), gpc)
            except Exception as error:  # chromium or its driver cannot start here
                print("SKIP: chromium cannot start: %s" % str(error).splitlines()[0])
                sys.exit(77)
            driver.get("https://%s/index.html" % SITE_HOST)
            return driver

        def asked(host):
            return any(h == host for h, _ in requests)

        def click(driver, role):
            driver.find_element("css selector", '#cc-main .cm button[data-role="%s"]' % role).click()

        def banner(driver):
            shown = driver.find_elements("css selector", "#cc-main .cm")
            return bool(shown) and shown[0].is_displayed()

        # Before any choice: the banner is shown and no service's host is asked for anything.
        driver = session()
        check(wait(lambda: banner(driver)), "the banner is shown on a first visit")
        time.sleep(1)
        check(not asked(ANALYTICS) and not asked(ADS) and not asked(VIDEO),
              "before consent no request reaches an analytics, ad or video host")
        buttons = [b.text for b in driver.find_elements("css selector", "#cc-main .cm button")]
        check("Accept all" in buttons and "Reject all" in buttons,
              "\"Reject all\" stands beside \"Accept all\": %s" % buttons)
        # "Accept all": the held scripts and the video load.
        click(driver, "all")
        check(wait(lambda: asked(ANALYTICS)), "after \"Accept all\" the analytics script loads")
        check(wait(lambda: asked(ADS) and asked(VIDEO)), "after \"Accept all\" ads and video load")
        check(wait(lambda: not banner(driver)), "the banner is gone once answered")
        driver.quit()

        # "Reject all": nothing loads, on this page or the next.
        driver = session()
        wait(lambda: banner(driver))
        click(driver, "necessary")
        time.sleep(1)
        driver.get("https://%s/index.html" % SITE_HOST)
        time.sleep(1)
        check(not asked(ANALYTICS) and not asked(ADS) and not banner(driver),
              "after \"Reject all\" no analytics or ad script loads, and no banner comes back")
        gpc_note = driver.find_element("css selector", ".gpc-honoured")
        check(not gpc_note.is_displayed(), "without the signal the page claims none")
        driver.quit()

        # Global Privacy Control: even "Accept all" keeps the ads off, and the page says so.
        driver = session(gpc=True)
        wait(lambda: banner(driver))
        note = driver.find_element("css selector", ".gpc-honoured")
        check(note.is_displayed() and "Global Privacy Control" in note.text,
              "the page says the Global Privacy Control signal was honoured")
        click(driver, "all")
        check(wait(lambda: asked(ANALYTICS)), "with the signal, \"Accept all\" loads analytics")
        time.sleep(1)
        check(not asked(ADS), "with the signal, no ad script loads")
        driver.quit()

        # After --remove: the page is the original, and behaves as the original did.
        subprocess.run([program, "pages", site, "--facts", facts, "--remove"], check=True)
        check(open(os.path.join(site, "index.html"), "rb").read() == original,
              "--remove gives back the page's bytes")
        check(not os.path.exists(os.path.join(site, "clausewright-consent")),
              "--remove takes the banner's files away")
        driver = session()
        check(wait(lambda: asked(ANALYTICS) and asked(ADS)),
              "after --remove the page loads its services at once, as before")
        check(not driver.find_elements("css selector", "#cc-main"), "after --remove no banner")
        driver.quit()
        server.shutdown()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d checks failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
