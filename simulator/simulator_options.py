"""The switches of the controller simulator, shared by its handler classes."""


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
