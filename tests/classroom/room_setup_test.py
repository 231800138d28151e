#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""room_setup_test.py VP7ROOM: vp7-room makes a room of three seats in a scratch folder and runs it in the
foreground on free ports; seats and the instructor reach its broker over TLS with the room's authority and
only as the ACL allows, its page's server serves the page and the authority's certificate, Ctrl+C leaves no
server behind, and every bad input is refused with nothing made. Exits 77 without the servers."""
import base64
import contextlib
import hashlib
import http.client
import json
import os
import queue
import re
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

ROOM = "class-1"
SEATS = 3
CODE = re.compile(r"(\d\d)-([23456789ABCDEFGHJKMNPQRSTUVWXYZ]{4})-([23456789ABCDEFGHJKMNPQRSTUVWXYZ]{4})")
# Every wait is bounded: a client's whole run, the room's start, its end after Ctrl+C.
CLIENT_SECONDS = 10
START_SECONDS = 30
STOP_SECONDS = 15
PAGE = "<!doctype html><title>the room's page</title>\n"

room_command = sys.argv[1]
sbin = os.pathsep.join([os.environ.get("PATH", ""), "/usr/sbin", "/sbin"])
for needed in ("mosquitto", "mosquitto_passwd", "websockify", "openssl", "mosquitto_pub", "mosquitto_sub"):
    if shutil.which(needed, path=sbin) is None:
        print(f"no {needed}: skipped")
        sys.exit(77)

failures = []


def check(holds, what):
    if not holds:
        failures.append(what)
        print(f"FAIL: {what}")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


scratch = tempfile.mkdtemp(prefix="vp7-room-test-")
# Started by root, the broker reads the room's files as its own user, who must pass through the scratch folder.
os.chmod(scratch, 0o755)
site = os.path.join(scratch, "site")
folder = os.path.join(scratch, "room")
os.mkdir(site)
with open(os.path.join(site, "index.html"), "w") as file:
    file.write(PAGE)
mqtt_port, web_port = free_port(), free_port()


def vp7_room(*words, env=None):
    return subprocess.run([room_command, *words], capture_output=True, text=True, timeout=CLIENT_SECONDS * 3,
                          env=env)


def setup_words(target, *more):
    return ["setup", "--room", ROOM, "--seats", str(SEATS), "--address", "127.0.0.1", "--dir", target, "--site",
            site, "--mqtt-port", str(mqtt_port), "--web-port", str(web_port), "--foreground", *more]


def servers_of(target):
    """The processes still running whose command line names the room's folder."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as file:
                if target.encode() in file.read() and int(pid) != os.getpid():
                    found.append(pid)
        except OSError:
            pass
    return found


def client(tool, user, password, *words):
    command = [tool, "-h", "127.0.0.1", "-p", str(mqtt_port), "--cafile", os.path.join(folder, "site/room-ca.crt"),
               "-u", user, "-P", password, *words]
    return subprocess.run(command, capture_output=True, text=True, timeout=CLIENT_SECONDS)


def status_of(seat, user, password):
    """The retained status of SEAT as USER reads it, empty when there is none or it may not read it."""
    read = client("mosquitto_sub", user, password, "-t", f"vp7/{ROOM}/seat/{seat}/status", "-C", "1", "-W", "3")
    return read.stdout.strip()


def received(connection, count):
    data = b""
    while len(data) < count:
        more = connection.recv(count - len(data))
        if not more:
            raise ConnectionError("closed")
        data += more
    return data


def websocket_connack(user, password):
    """The return code of the broker's CONNACK to an MQTT CONNECT sent as a browser does: over a WebSocket
    to the page's server, asking for the binary sub-protocol."""
    with socket.create_connection(("127.0.0.1", web_port), timeout=CLIENT_SECONDS) as connection:
        key = base64.b64encode(os.urandom(16)).decode()
        connection.sendall(f"GET / HTTP/1.1\r\nHost: 127.0.0.1:{web_port}\r\nUpgrade: websocket\r\n"
                           f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n"
                           "Sec-WebSocket-Protocol: binary\r\n\r\n".encode())
        answer = b""
        while not answer.endswith(b"\r\n\r\n"):
            answer += received(connection, 1)
        if not answer.startswith(b"HTTP/1.1 101"):
            return None
        strings = b"".join(len(text).to_bytes(2, "big") + text.encode() for text in ("", user, password))
        # MQTT 3.1.1, a clean session with user and password, 60 s keep-alive.
        body = b"\x00\x04MQTT\x04\xc2\x00\x3c" + strings
        connect = bytes([0x10, len(body)]) + body
        mask = os.urandom(4)
        connection.sendall(bytes([0x82, 0x80 | len(connect)]) + mask +
                           bytes(byte ^ mask[index % 4] for index, byte in enumerate(connect)))
        header = received(connection, 2)
        connack = received(connection, header[1] & 0x7F)
        return connack[3] if connack[:2] == b"\x20\x02" else None


@contextlib.contextmanager
def running_room(target, *more):
    """The room in the foreground until it says where its room file is, its lines read as they come; killed
    at the end when it still runs."""
    room = subprocess.Popen([room_command, *setup_words(target, *more)], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            text=True)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(line) for line in room.stdout], daemon=True).start()
    said = []
    deadline = time.monotonic() + START_SECONDS
    while not any("room file" in line for line in said) and time.monotonic() < deadline:
        try:
            said.append(lines.get(timeout=0.2))
        except queue.Empty:
            if room.poll() is not None:
                break
    try:
        yield room, said
    finally:
        if room.poll() is None:
            room.kill()
            room.wait()


with running_room(folder) as (room, said):
    check(any(f"room file      {folder}/room.json" in line for line in said), f"no ready room: {''.join(said)}")
    # Waiting for the servers leaves no failed client in the broker's log a trainer reads at the start.
    check(not any("failed" in line for line in said), f"a failure at the start: {''.join(said)}")
    with open(os.path.join(folder, "broker", "mosquitto.conf")) as file:
        configuration = file.read()
    check("this machine only" not in configuration and "put the TLS listener" not in configuration,
          f"the room's broker configuration tells to do what the room did: {configuration}")
    with open(os.path.join(folder, "room.json")) as file:
        plan = json.load(file)
    check(os.stat(os.path.join(folder, "room.json")).st_mode & 0o777 == 0o600, "room.json is not 0600")
    check((plan["format"], plan["room"], plan["address"], plan["mqtt"]["port"], plan["mqtt"]["tls"], plan["web"]) ==
          ("vp7-room 1", ROOM, "127.0.0.1", mqtt_port, True, {"port": web_port, "tls": False}), f"room.json: {plan}")
    codes = [CODE.fullmatch(seat["code"]) for seat in plan["seats"]]
    check([seat["seat"] for seat in plan["seats"]] == ["seat01", "seat02", "seat03"] and all(codes) and
          [code.group(1) for code in codes] == ["01", "02", "03"], f"seats: {plan['seats']}")
    check(len({seat["code"] for seat in plan["seats"]}) == SEATS, "two seats have one code")
    passwords = {seat["seat"]: code.group(2) + code.group(3) for seat, code in zip(plan["seats"], codes)}
    instructor = plan["instructor"]["password"]

    # A seat publishes its status with its code's password; the instructor reads it.
    published = client("mosquitto_pub", "seat02", passwords["seat02"], "-t", f"vp7/{ROOM}/seat/seat02/status",
                       "-m", '{"seat":"seat02"}', "-r", "-q", "1")
    check(published.returncode == 0, f"seat02 could not publish: {published.stderr}")
    check(status_of("seat02", "instructor", instructor) == '{"seat":"seat02"}', "the instructor read no status")
    # Another seat cannot write it (the broker drops what the ACL refuses) nor read it.
    client("mosquitto_pub", "seat01", passwords["seat01"], "-t", f"vp7/{ROOM}/seat/seat02/status", "-m", "forged",
           "-r", "-q", "1")
    check(status_of("seat02", "instructor", instructor) == '{"seat":"seat02"}', "seat01 wrote seat02's status")
    check(status_of("seat02", "seat01", passwords["seat01"]) == "", "seat01 read seat02's status")

    # Connections the broker refuses: a wrong password, a neighbour's password, the instructor's account with
    # a seat's, a seat the room does not have.
    for user, password in [("seat02", "AAAAAAAA"), ("seat01", passwords["seat02"]),
                           ("instructor", passwords["seat01"]), ("seat04", passwords["seat01"])]:
        refused = client("mosquitto_pub", user, password, "-t", f"vp7/{ROOM}/seat/{user}/status", "-m", "x")
        check(refused.returncode != 0 and "not authorised" in refused.stderr, f"{user} connected with {password}")

    # Through the page's server to the broker as a browser seat: 0 accepted, 5 not authorised.
    for user, password, code in [("seat03", passwords["seat03"], 0), ("seat03", passwords["seat02"], 5)]:
        check(websocket_connack(user, password) == code, f"{user} over a WebSocket was not answered {code}")

    # The page's server: the page, and the authority's certificate whose DER's SHA-256 is the room's.
    base = f"http://127.0.0.1:{web_port}"
    with urllib.request.urlopen(f"{base}/index.html", timeout=CLIENT_SECONDS) as answer:
        check(answer.read().decode() == PAGE, "index.html is not the site's")
    with urllib.request.urlopen(f"{base}/room-ca.crt", timeout=CLIENT_SECONDS) as answer:
        der = ssl.PEM_cert_to_DER_cert(answer.read().decode())
    check(hashlib.sha256(der).hexdigest() == plan["mqtt"]["fingerprint"], "room-ca.crt is not the fingerprint's")

    # Ctrl+C stops both servers, and the process the page's server keeps for a browser still connected; the
    # room stays for the next lesson.
    browser = socket.create_connection(("127.0.0.1", web_port), timeout=CLIENT_SECONDS)
    browser.sendall(b"GET / HTTP/1.1\r\n")
    time.sleep(0.5)
    room.send_signal(signal.SIGINT)
    check(room.wait(STOP_SECONDS) == 0, f"vp7-room ended with {room.returncode}")
    check(servers_of(folder) == [], f"processes left: {servers_of(folder)}")
    check(os.path.isfile(os.path.join(folder, "room.json")), "the room went with Ctrl+C")
    browser.close()

# A second setup refuses and keeps the room as it is; remove then removes it, and a folder that is no room is
# left alone.
again = vp7_room(*setup_words(folder))
check(again.returncode == 1 and "exists" in again.stderr, f"a second setup: {again.returncode} {again.stderr}")
with open(os.path.join(folder, "room.json")) as file:
    check(json.load(file) == plan, "a second setup changed the room")
removed = vp7_room("remove", "--dir", folder)
check(removed.returncode == 0 and not os.path.exists(folder), f"remove: {removed.stderr}")
check(vp7_room("remove", "--dir", site).returncode == 1 and os.path.isfile(os.path.join(site, "index.html")),
      "remove took a folder that is no room")

# Bad inputs, each refused with its message and no folder left.
busy = socket.socket()
busy.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
busy.bind(("", web_port))
busy.listen()
no_websockify = os.path.join(scratch, "bin")
os.mkdir(no_websockify)
for tool in ("openssl", "mosquitto_passwd", "python3"):
    os.symlink(shutil.which(tool, path=sbin), os.path.join(no_websockify, tool))
odd_key = os.path.join(scratch, "odd.key")
with open(odd_key, "w") as file:
    file.write("no key\n")
bad = os.path.join(scratch, "bad")
closed = os.path.join(scratch, "closed")
os.mkdir(closed, 0o700)
for words, environment, message in [
    (["--room", "a/b"], None, "room name 'a/b': 1 to 64 letters"),
    (["--room", "x" * 65], None, "1 to 64 letters"),
    (["--room", ".."], None, "not only dots"),
    (["--seats", "0"], None, "seats '0': a whole number from 1 to 99"),
    (["--seats", "100"], None, "seats '100'"),
    (["--seats", "3x"], None, "seats '3x'"),
    (["--mqtt-port", "65536"], None, "MQTT port '65536': a whole number from 1 to 65535"),
    (["--web-port", "0"], None, "web port '0'"),
    (["--mqtt-port", str(web_port)], None, f"both {web_port}"),
    (["--address", "bad host"], None, "address 'bad host'"),
    (["--address=-x.example"], None, "address '-x.example'"),
    (["--web-cert", odd_key], None, "--web-cert and --web-key go together"),
    (["--web-cert", odd_key, "--web-key", odd_key], None, "no certificate with its key"),
    (["--site", scratch], None, "no page in"),
    ([], {**os.environ, "PATH": no_websockify}, "missing programs: websockify; install them with: "
                                                "apt-get install websockify"),
    ([], None, f"port {web_port} is in use"),
] + ([(["--dir", os.path.join(closed, "room")], None, f"cannot pass through {closed}")] if os.geteuid() == 0 else []):
    refused = vp7_room(*setup_words(bad), *words, env=environment)
    check(refused.returncode == 1 and message in refused.stderr and not os.path.exists(bad),
          f"{words}: {refused.returncode} {refused.stderr.strip()}")
busy.close()

# With the centre's certificate the page comes over https, and only so.
web_crt, web_key = os.path.join(scratch, "web.crt"), os.path.join(scratch, "web.key")
subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                "-days", "1", "-keyout", web_key, "-out", web_crt, "-subj", "/CN=127.0.0.1", "-addext",
                "subjectAltName=IP:127.0.0.1"], check=True, capture_output=True, timeout=CLIENT_SECONDS)
secure = os.path.join(scratch, "secure")
with running_room(secure, "--web-cert", web_crt, "--web-key", web_key) as (room, said):
    check(any(f"https://127.0.0.1:{web_port}/" in line for line in said), f"no https room: {''.join(said)}")
    trusting = ssl.create_default_context(cafile=web_crt)
    with urllib.request.urlopen(f"https://127.0.0.1:{web_port}/index.html", context=trusting,
                                timeout=CLIENT_SECONDS) as answer:
        check(answer.read().decode() == PAGE, "index.html is not the site's over https")
    try:
        urllib.request.urlopen(f"http://127.0.0.1:{web_port}/index.html", timeout=CLIENT_SECONDS).close()
        check(False, "the page came over http beside https")
    except (OSError, http.client.HTTPException):
        pass
    with open(os.path.join(secure, "room.json")) as file:
        check(json.load(file)["web"] == {"port": web_port, "tls": True}, "room.json says the page has no TLS")
    room.send_signal(signal.SIGINT)
    check(room.wait(STOP_SECONDS) == 0 and servers_of(secure) == [], "the https room did not stop")

# The services a room runs as: systemd's own reading of the unit files vp7-room writes takes them, for a
# folder and a certificate whose paths hold a blank, a quote and a '%' (no services are started here).
if shutil.which("systemd-analyze"):
    import importlib.machinery
    import importlib.util
    import types
    loader = importlib.machinery.SourceFileLoader("vp7_room", room_command)
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader("vp7_room", loader))
    loader.exec_module(module)
    module.UNIT_DIR = os.path.join(scratch, "units")
    os.mkdir(module.UNIT_DIR)
    module.run = lambda *words, **named: None
    odd = os.path.join(scratch, 'a "room" 100%')
    module.install_services(types.SimpleNamespace(room=ROOM, web_cert=odd + "/web.crt", web_key=odd + "/web.key",
                                                  mqtt_port=mqtt_port, web_port=web_port, site=site,
                                                  address="127.0.0.1"), odd, free_port())
    units = sorted(os.path.join(module.UNIT_DIR, name) for name in os.listdir(module.UNIT_DIR))
    check(len(units) == 2, f"not two unit files: {units}")
    verified = subprocess.run(["systemd-analyze", "verify", "--man=no", *units], capture_output=True, text=True,
                              timeout=CLIENT_SECONDS)
    check(verified.returncode == 0 and not verified.stderr.strip(), f"systemd refuses the units: {verified.stderr}")
    for unit in units:
        with open(unit) as file:
            check(odd.replace("%", "%%").replace('"', '\\"') in file.read(), f"{unit} lost the folder's path")

shutil.rmtree(scratch)
if failures:
    sys.exit(1)
print(f"a room of {SEATS} seats set up, used, stopped and removed; every bad input refused")
