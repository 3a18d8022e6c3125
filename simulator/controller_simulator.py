#!/usr/bin/python3
"""A stand-in for the network controller's FTP server, for tests and for the demo.

It serves a root folder over FTP as the controller does:
  * paths may use a backslash below the leading "/" as directory separator (/rfa\\cfg\\def);
  * LIST expands wildcards itself ("LIST *.set") and answers "550 No files found." when nothing
    matches;
  * the flash card is a pseudo-file (default /mmu/card) listed with the capacity given by
    --card-size, without that many bytes stored;
  * the default folders of the file categories exist.

Passive mode (PASV, EPSV) is refused unless --allow-passive is given: the controller works in
active mode only.

Switches let tests make it misbehave, one for each fault the session must survive: refuse every
login, drop the data connection after N bytes, refuse MKD, DELE or PWD, delay every reply, close the
control connection after the Kth command, list in DOS format; connect back only after the 1xx
reply (with a delay), answer "425" late without connecting, delay the greeting or greet with "421",
close idle control connections with "421", answer the Kth command with "421", trickle data at
N bytes/s, stall data after N bytes, list endlessly, answer "552" after N bytes of STOR, serve
names that are not UTF-8, end replies with LF only, send every reply as a multi-line reply, answer
"125"/"250" where "150"/"226" are usual, keep only the first N bytes of every stored file while
answering "226" as usual, send a command's final reply twice, end a download's data connection
early (with "226" or "426"), leave SIZE unimplemented, let a stranger from 127.0.0.2 reach the
data port first, read a STOR's data slowly, and report a directory with a CR in PWD's reply.

Like the controller it never deletes or overwrites the flash card pseudo-file ("550").

When it listens it prints one line to standard output and flushes it:
    Controller simulator ready on <host> port <port>
It runs until it is killed (SIGTERM or SIGINT).
"""

import fnmatch
import logging
import os
import signal
import socket
import sys
import threading
import time

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import BufferedIteratorProducer, FTPHandler
from pyftpdlib.servers import FTPServer

from simulator_data import ControllerActiveDTP, ControllerDTP, ControllerFS
from simulator_options import Options, parse_arguments

DEFAULT_FOLDERS = ["mmu", "rfa/cfg/def", "rfa/fw", "rfa/drv", "rfa/web", "boot"]

# Commands whose argument is a path: a backslash in it separates directories.
PATH_COMMANDS = {"CWD", "XCWD", "MKD", "XMKD", "RMD", "XRMD", "STOR", "APPE", "RETR", "DELE",
                 "LIST", "NLST", "SIZE", "MDTM", "RNFR", "RNTO", "MLST", "MLSD", "STAT"}


def connect_stranger(port_argument, log):
    """Connects to the data port a PORT names from 127.0.0.2, before the controller itself does:
    the stranger sends a line, then logs how many bytes it received until the end or a reset."""
    try:
        numbers = [int(x) for x in port_argument.split(",")]
        address = ("%d.%d.%d.%d" % tuple(numbers[:4]), numbers[4] * 256 + numbers[5])
        stranger = socket.create_connection(address, timeout=2, source_address=("127.0.0.2", 0))
    except (OSError, ValueError, IndexError) as error:
        log("(stranger could not connect: %s)" % error)
        return

    def run():
        received = 0
        try:
            stranger.sendall(b"stranger's data\r\n")
            while True:
                chunk = stranger.recv(65536)
                if not chunk:
                    break
                received += len(chunk)
        except OSError:
            pass
        finally:
            stranger.close()
        log("(stranger received %d bytes)" % received)

    threading.Thread(target=run, daemon=True).start()


class RefusingAuthorizer(DummyAuthorizer):
    """Refuses every login, whatever the user name and password."""

    def validate_authentication(self, username, password, handler):
        raise AuthenticationFailed("Login incorrect.")


class ControllerHandler(FTPHandler):
    """Control connection of the controller."""

    banner = "Controller simulator ready."
    use_sendfile = False
    active_dtp = ControllerActiveDTP
    dtp_handler = ControllerDTP
    abstracted_fs = ControllerFS

    def __init__(self, conn, server, ioloop=None):
        super().__init__(conn, server, ioloop)
        self.late_port = None  # (ip, port) of a PORT whose connection waits for the 1xx reply
        self.swallow_connect_reply = False
        self.last_verb = None  # the verb of the command being answered
        self._idle_timer = None
        self._restart_idle_timer()

    def _restart_idle_timer(self):
        """Closes the control connection with 421 when no command came for the idle timeout
        (the stock timer of this server version does not fire before a data transfer)."""
        if self._idle_timer is not None and not self._idle_timer.cancelled:
            self._idle_timer.cancel()

        def expire():
            if not self._closed and self.data_channel is None:
                self.respond("421 Control connection timed out.")
                self.close_when_done()
        self._idle_timer = self.ioloop.call_later(Options.idle_timeout, expire,
                                                  _errback=self.handle_error)

    def close(self):
        if self._idle_timer is not None and not self._idle_timer.cancelled:
            self._idle_timer.cancel()
        super().close()

    def handle(self):
        if Options.greeting_421:
            self.respond("421 Service not available, closing control connection.")
            self.close_when_done()
        elif Options.greeting_delay > 0:
            self.ioloop.call_later(Options.greeting_delay, super().handle,
                                   _errback=self.handle_error)
        else:
            super().handle()

    def ftp_PORT(self, line):
        if Options.stranger:
            connect_stranger(line, self._log)
        if Options.connect_late < 0 and Options.late_425 < 0:
            return super().ftp_PORT(line)
        try:
            numbers = [int(x) for x in line.split(",")]
            if len(numbers) != 6 or not all(0 <= x <= 255 for x in numbers):
                raise ValueError
        except ValueError:
            self.respond("501 Invalid PORT format.")
            return None
        self._shutdown_connecting_dtp()
        if self.data_channel is not None:
            self.data_channel.close()
            self.data_channel = None
        self.late_port = ("%d.%d.%d.%d" % tuple(numbers[:4]), numbers[4] * 256 + numbers[5])
        self.respond("200 PORT command successful.")
        return None

    def ftp_PASV(self, line):
        if not Options.allow_passive:
            self.respond("502 Passive mode is not offered by the controller; use PORT.")
            return None
        return super().ftp_PASV(line)

    def ftp_EPSV(self, line):
        if not Options.allow_passive:
            self.respond("502 Passive mode is not offered by the controller; use PORT.")
            return None
        return super().ftp_EPSV(line)

    def _after_preliminary(self):
        """Connects back, or refuses with a late 425, once the 1xx reply has gone out."""
        ip, port = self.late_port

        def refuse():
            if self._closed:
                return
            self._out_dtp_queue = None
            if self._in_dtp_queue is not None:
                self._in_dtp_queue[0].close()
                self._in_dtp_queue = None
            self.late_port = None
            self.respond("425 Can't open data connection.")

        def connect():
            if not self._closed and self.late_port is not None:
                self._dtp_connector = self.active_dtp(ip, port, self)

        if Options.late_425 >= 0:
            self.ioloop.call_later(Options.late_425, refuse, _errback=self.handle_error)
        else:
            self.ioloop.call_later(Options.connect_late, connect, _errback=self.handle_error)

    def _log(self, line):
        if Options.log_file is None:
            return
        if line[:4].upper() == "PASS":
            line = "PASS ******"
        with open(Options.log_file, "a", encoding="utf8", errors="replace") as log:
            log.write(line + "\n")

    def pre_process_command(self, line, cmd, arg):
        self._log(line)
        self.last_verb = cmd.upper()
        self._restart_idle_timer()
        Options.commands_seen += 1
        if Options.close_after > 0 and Options.commands_seen == Options.close_after:
            # The controller goes away without an answer (once, over the server's whole life).
            self.close()
            return
        if Options.close_421_after > 0 and Options.commands_seen == Options.close_421_after:
            self.respond("421 Service not available, closing control connection.")
            self.close_when_done()
            return
        if cmd.upper() in PATH_COMMANDS and arg:
            arg = arg.replace("\\", "/")
        return super().pre_process_command(line, cmd, arg)

    def respond(self, resp, logfun=logging.debug):
        if self.swallow_connect_reply and resp.startswith("200 Active data connection"):
            self.swallow_connect_reply = False  # PORT was answered already
            return None
        if Options.variant_codes:
            if resp.startswith("150 "):
                resp = "125 " + resp[4:]
            elif resp.startswith("226 "):
                resp = "250 " + resp[4:]
        if Options.reply_delay > 0:
            time.sleep(Options.reply_delay)
        if resp[:1] == "1" and self.late_port is not None:
            self._after_preliminary()
        twice = Options.double_reply is not None and Options.double_reply == self.last_verb \
            and resp[:1] in "2345"
        if not (Options.lf_replies or Options.multiline_replies or twice):
            return super().respond(resp, logfun)
        lines = [resp]
        if Options.multiline_replies:
            lines = [resp[:3] + "-The controller answers:", " in more than one line:", resp]
        self._last_response = resp
        ending = "\n" if Options.lf_replies else "\r\n"
        text = "".join(line + ending for line in lines)
        self.push(text * 2 if twice else text)  # twice: both in one write
        return None

    def ftp_LIST(self, path):
        if Options.endless_listing:
            def endless():
                number = 0
                while True:
                    number += 1
                    yield ("-rw-r--r--   1 owner    group   %8d Jan 01 00:00 endless%08d\r\n"
                           % (number, number)).encode("ascii")
            self.push_dtp_data(BufferedIteratorProducer(endless()), isproducer=True, cmd="LIST")
            return path
        # As the controller's directory search: only "*" and "?" are wildcards; brackets are
        # part of a name.
        pattern = os.path.basename(path)
        if "*" not in pattern and "?" not in pattern:
            return super().ftp_LIST(path)
        basedir = os.path.dirname(path)
        try:
            names = sorted(self.run_as_current_user(self.fs.listdir, basedir))
        except OSError:
            names = []
        literal_brackets = pattern.replace("[", "[[]")
        matches = [name for name in names if fnmatch.fnmatchcase(name, literal_brackets)]
        if not matches:
            self.respond("550 No files found.")
            return None
        producer = BufferedIteratorProducer(self.fs.format_list(basedir, matches))
        self.push_dtp_data(producer, isproducer=True, cmd="LIST")
        return path

    def ftp_MKD(self, path):
        if Options.refuse_mkd:
            self.respond("550 Cannot create directory: refused by the controller.")
            return None
        return super().ftp_MKD(path)

    def ftp_PWD(self, line):
        if Options.refuse_pwd:
            self.respond("550 The current directory cannot be told.")
            return None
        if Options.pwd_cr:
            self.respond('257 "%s\r" is the current directory.' % self.fs.cwd.replace('"', '""'))
            return None
        return super().ftp_PWD(line)

    def ftp_SIZE(self, path):
        if Options.no_size:
            self.respond("502 Command not implemented.")
            return None
        return super().ftp_SIZE(path)

    def _refuse_card(self, path):
        if self.fs.is_card(path):
            self.respond("550 The flash card cannot be deleted or overwritten.")
            return True
        return False

    def ftp_DELE(self, path):
        if Options.refuse_dele:
            self.respond("550 Cannot delete file: refused by the controller.")
            return None
        return None if self._refuse_card(path) else super().ftp_DELE(path)

    def ftp_STOR(self, file, mode="w"):
        return None if self._refuse_card(file) else super().ftp_STOR(file, mode)

    def ftp_RNFR(self, path):
        return None if self._refuse_card(path) else super().ftp_RNFR(path)

    def ftp_RNTO(self, path):
        return None if self._refuse_card(path) else super().ftp_RNTO(path)


def prepare_root(args):
    """Makes the default folders and the card pseudo-file; returns the root and the card's real
    path (None without a card)."""
    root = os.path.abspath(args.root)
    for folder in DEFAULT_FOLDERS:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    if args.no_card:
        return root, None
    card = os.path.join(root, args.card_path.lstrip("/").replace("\\", "/"))
    os.makedirs(os.path.dirname(card), exist_ok=True)
    if not os.path.exists(card):
        open(card, "wb").close()
    return root, os.path.realpath(card)


def main(argv):
    args = parse_arguments(argv)
    logging.basicConfig(level=logging.INFO if args.verbose else logging.WARNING,
                        format="simulator: %(message)s", stream=sys.stderr)
    root, Options.card_file = prepare_root(args)

    if args.non_utf8_names:
        ControllerHandler.unicode_errors = "surrogateescape"
        with open(os.path.join(root.encode(), b"mmu", b"caf\xe9.set"), "wb") as latin1:
            latin1.write(b"latin-1 name\n")

    if args.refuse_login:
        authorizer = RefusingAuthorizer()
    else:
        authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
    ControllerHandler.authorizer = authorizer
    ControllerHandler.auth_failed_timeout = args.login_fail_delay

    server = FTPServer((args.host, args.port), ControllerHandler)
    host, port = server.socket.getsockname()[:2]

    def stop(signum, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, stop)
    print("Controller simulator ready on %s port %d" % (host, port), flush=True)
    try:
        server.serve_forever(handle_exit=False)
    except KeyboardInterrupt:
        pass
    finally:
        server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
