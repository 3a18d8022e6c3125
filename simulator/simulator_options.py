"""The switches of the controller simulator: its command line, and the values shared by its
handler classes."""

import argparse


class Options:
    """The command line's switches, shared by the handler classes below."""
    card_file = None  # the real local path of the card pseudo-file; None: no card
    card_size = 0
    drop_after = -1
    refuse_mkd = False
    refuse_dele = False
    refuse_pwd = False
    reply_delay = 0.0
    close_after = -1
    dos_listing = False
    log_file = None
    commands_seen = 0
    connect_late = -1.0  # seconds after the 1xx reply; negative: connect at PORT as usual
    late_425 = -1.0      # seconds after the 1xx reply; negative: off
    greeting_delay = 0.0
    greeting_421 = False
    trickle = 0          # bytes per second on data connections; 0: full speed
    endless_listing = False
    store_full_after = -1
    stall_after = -1
    idle_timeout = 300.0
    close_421_after = -1
    lf_replies = False
    multiline_replies = False
    variant_codes = False
    allow_passive = False
    truncate_stored = -1  # keep only this many bytes of every stored file; negative: off
    double_reply = None   # the verb whose final reply goes out twice; None: off
    end_data_early = -1   # end each RETR's data connection cleanly after this many bytes
    end_data_early_426 = False  # ... and answer 426 rather than 226
    no_size = False
    stranger = False      # a connection from 127.0.0.2 reaches each data port first
    slow_stor = 0         # bytes per second a STOR's data is read at; 0: full speed
    pwd_cr = False        # PWD reports the directory with a CR inside its quotes


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="FTP stand-in for the network controller.")
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on (loopback)")
    parser.add_argument("--port", type=int, default=0, help="port; 0 picks a free one")
    parser.add_argument("--user", default="service")
    parser.add_argument("--password", default="service")
    parser.add_argument("--root", required=True, help="folder served as the controller's /")
    parser.add_argument("--card-path", default="/mmu/card",
                        help="remote path of the flash card pseudo-file")
    parser.add_argument("--card-size", type=int, default=64 * 1024 * 1024,
                        help="capacity in bytes listed for the card")
    parser.add_argument("--no-card", action="store_true", help="no card pseudo-file")
    parser.add_argument("--refuse-login", action="store_true", help="refuse every login")
    parser.add_argument("--login-fail-delay", type=float, default=3.0,
                        help="seconds before a refused login is answered")
    parser.add_argument("--drop-after", type=int, default=-1, metavar="N",
                        help="reset every data connection after N bytes")
    parser.add_argument("--refuse-mkd", action="store_true", help="answer every MKD with 550")
    parser.add_argument("--refuse-dele", action="store_true", help="answer every DELE with 550")
    parser.add_argument("--refuse-pwd", action="store_true", help="answer every PWD with 550")
    parser.add_argument("--reply-delay", type=float, default=0.0, metavar="SECONDS",
                        help="wait this long before every reply")
    parser.add_argument("--close-after", type=int, default=-1, metavar="K",
                        help="close the control connection on the Kth command, without an answer "
                             "(counted over all connections, once)")
    parser.add_argument("--dos-listing", action="store_true",
                        help="list in DOS format instead of Unix format")
    parser.add_argument("--connect-late", type=float, default=-1.0, metavar="SECONDS",
                        help="answer PORT at once and connect back only SECONDS after the 1xx "
                             "reply")
    parser.add_argument("--late-425", type=float, default=-1.0, metavar="SECONDS",
                        help="never connect back; answer 425 SECONDS after the 1xx reply")
    parser.add_argument("--greeting-delay", type=float, default=0.0, metavar="SECONDS",
                        help="greet only after SECONDS")
    parser.add_argument("--greeting-421", action="store_true",
                        help="greet with 421 and close")
    parser.add_argument("--idle-timeout", type=float, default=300.0, metavar="SECONDS",
                        help="close a control connection idle this long, with 421")
    parser.add_argument("--trickle", type=int, default=0, metavar="N",
                        help="send data at N bytes per second")
    parser.add_argument("--endless-listing", action="store_true",
                        help="LIST sends lines without end")
    parser.add_argument("--store-full-after", type=int, default=-1, metavar="N",
                        help="answer STOR with 552 after N bytes, breaking its data connection")
    parser.add_argument("--stall-after", type=int, default=-1, metavar="N",
                        help="stop sending data after N bytes, keeping the connection open")
    parser.add_argument("--close-421-after", type=int, default=-1, metavar="K",
                        help="answer the Kth command with 421 and close (counted over all "
                             "connections, once)")
    parser.add_argument("--non-utf8-names", action="store_true",
                        help="serve names as bytes and put /mmu/caf\\xe9.set (Latin-1) there")
    parser.add_argument("--lf-replies", action="store_true", help="end reply lines with LF only")
    parser.add_argument("--multiline-replies", action="store_true",
                        help="send every reply as a multi-line reply")
    parser.add_argument("--variant-codes", action="store_true",
                        help="answer 125 instead of 150 and 250 instead of 226")
    parser.add_argument("--truncate-stored", type=int, default=-1, metavar="N",
                        help="keep only the first N bytes of every stored file (STOR still "
                             "answers 226)")
    parser.add_argument("--double-reply", metavar="VERB",
                        help="send the final reply to every VERB command twice")
    parser.add_argument("--end-data-early", type=int, default=-1, metavar="N",
                        help="end each RETR's data connection cleanly after N bytes and answer "
                             "226")
    parser.add_argument("--end-data-early-426", action="store_true",
                        help="with --end-data-early, answer 426 instead of 226")
    parser.add_argument("--no-size", action="store_true",
                        help="answer SIZE with 502 (not implemented)")
    parser.add_argument("--stranger-connects", action="store_true",
                        help="before each connection back, connect to the data port from "
                             "127.0.0.2 and log what that connection receives")
    parser.add_argument("--slow-stor", type=int, default=0, metavar="N",
                        help="read a STOR's data at N bytes per second through a small receive "
                             "buffer, after writing a line on its data connection")
    parser.add_argument("--pwd-cr", action="store_true",
                        help="report the directory in PWD's reply with a CR inside the quotes")
    parser.add_argument("--allow-passive", action="store_true",
                        help="offer passive mode (PASV, EPSV) too")
    parser.add_argument("--log", metavar="FILE", help="append every command received to FILE "
                                                      "(passwords masked)")
    parser.add_argument("--verbose", action="store_true", help="log the server's own messages")
    args = parser.parse_args(argv)
    for name in ("drop_after", "refuse_mkd", "refuse_dele", "refuse_pwd", "reply_delay",
                 "close_after", "dos_listing", "connect_late", "late_425", "greeting_delay",
                 "greeting_421", "trickle", "endless_listing", "store_full_after", "stall_after",
                 "close_421_after", "lf_replies", "multiline_replies", "variant_codes",
                 "allow_passive", "truncate_stored", "idle_timeout", "end_data_early",
                 "end_data_early_426", "no_size", "slow_stor", "pwd_cr"):
        setattr(Options, name, getattr(args, name))
    Options.card_size = args.card_size
    Options.log_file = args.log
    Options.double_reply = args.double_reply.upper() if args.double_reply else None
    Options.stranger = args.stranger_connects
    return args
