#!/usr/bin/python3
"""SMTP peer for the tests: implicit TLS from the first byte, AUTH LOGIN required; a refused
login is answered with the credentials echoed.

Listens on 127.0.0.1, port 0. Prints "PORT <n>" once listening, then one JSON object per line for
each thing a client does: {"event": "ehlo"|"helo"|"auth"|"message", ...}. Stops on SIGTERM or
when stdin closes.
"""
import argparse
import asyncio
import base64
import json
import signal
import ssl
import sys
from email import message_from_bytes, policy

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def emit(obj):
    print(json.dumps(obj, ensure_ascii=False), flush=True)


class Handler:
    def __init__(self, args):
        self.args = args

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.args.refuse_rcpt:
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        if address in self.args.forward_rcpt:
            return "251 2.1.5 User not local; will forward"
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.args.silent_after_data:
            # Plays a server that takes the message and then never answers.
            emit({"event": "data"})
            await asyncio.get_running_loop().create_future()
        raw = envelope.original_content or envelope.content
        msg = message_from_bytes(raw, policy=policy.default)
        date = msg["date"]
        emit({"event": "message", "mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
              "raw": base64.b64encode(raw).decode("ascii"), "from": str(msg["from"]), "to": str(msg["to"]),
              "subject": str(msg["subject"]), "date": date.datetime.isoformat() if date is not None and date.datetime else None,
              "mime_version": msg["mime-version"], "content_type": msg.get_content_type(),
              "charset": msg.get_content_charset(), "cte": msg["content-transfer-encoding"], "body": msg.get_content()})
        return "250 Message accepted for delivery"


class PeerSMTP(SMTP):
    refuse_ehlo = False

    async def smtp_EHLO(self, hostname):
        emit({"event": "ehlo", "name": hostname})
        if self.refuse_ehlo:
            await self.push("502 5.5.2 Error: command not recognized")
            return
        await super().smtp_EHLO(hostname)

    async def smtp_HELO(self, hostname):
        emit({"event": "helo", "name": hostname})
        await super().smtp_HELO(hostname)
        # This peer plays an older server that still takes AUTH after HELO.
        self.session.extended_smtp = True


def main():
    parser = argparse.ArgumentParser()
    for name in ("--cert", "--key", "--user", "--password"):
        parser.add_argument(name, required=True)
    parser.add_argument("--refuse-rcpt", action="append", default=[])
    parser.add_argument("--forward-rcpt", action="append", default=[])
    parser.add_argument("--refuse-ehlo", action="store_true")
    parser.add_argument("--silent-after-data", action="store_true")
    args = parser.parse_args()

    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (mechanism == "LOGIN" and isinstance(auth_data, LoginPassword)
              and auth_data.login == args.user.encode()
              and auth_data.password == args.password.encode())
        login = auth_data.login.decode(errors="replace") if isinstance(auth_data, LoginPassword) else None
        emit({"event": "auth", "mechanism": mechanism, "login": login, "ok": ok})
        # A refusal echoes the credentials, as some servers do; clients must not log it.
        password = auth_data.password.decode(errors="replace") if isinstance(auth_data, LoginPassword) else ""
        return AuthResult(success=ok, handled=False,
                          message=None if ok else "535 5.7.8 Refused %s:%s" % (login, password))

    handler = Handler(args)
    PeerSMTP.refuse_ehlo = args.refuse_ehlo

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)

    def factory():
        # The connection is TLS from the first byte, so AUTH needs no STARTTLS here.
        return PeerSMTP(handler, hostname="test.smtp.local", auth_required=True,
                        auth_require_tls=False, authenticator=authenticator, loop=loop)

    server = loop.run_until_complete(
        loop.create_server(factory, host="127.0.0.1", port=0, ssl=context))
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)

    stop = loop.create_future()
    loop.add_signal_handler(signal.SIGTERM, lambda: stop.done() or stop.set_result(None))
    loop.add_reader(sys.stdin.fileno(),
                    lambda: (sys.stdin.buffer.read1(4096) or stop.done() or stop.set_result(None)))
    loop.run_until_complete(stop)
    server.close()
    loop.run_until_complete(server.wait_closed())


if __name__ == "__main__":
    main()
