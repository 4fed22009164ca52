#!/usr/bin/env python3
"""Writes the demo spool (tools/demo-news) served by tools/run-demo-server.sh.

The output is deterministic: running it again rewrites the same files. Usage:
  python3 tools/make_demo_news.py [OUTPUT_FOLDER]"""

import base64
import datetime
import os
import random
import shutil
import sys

HOST = "news.kestrova.example"
ASCII_TYPE = "text/plain; charset=us-ascii"
KOI8_TYPE = "text/plain; charset=koi8-r"

GROUPS = [
    # name, flag, created (UTC), description
    ("kestrova.demo.announce", "m", "2023-01-10T09:00:00Z", "Release announcements (moderated)"),
    ("kestrova.demo.talk", "y", "2023-01-10T09:05:00Z", "Talk about the Kestrova newsreader"),
    ("kestrova.demo.koi8", "y", "2023-02-01T12:00:00Z", "Russian-language talk, KOI8-R"),
    ("comp.lang.c++.demo", "y", "2023-03-15T08:30:00Z", "C++ questions and answers"),
    ("kestrova.demo.archive", "n", "2019-06-01T00:00:00Z", "Old discussions, read-only"),
    ("kestrova.demo.empty", "y", "2024-04-01T00:00:00Z", "A group nobody has posted to yet"),
]

ASCII_AUTHORS = [
    ("Alice Marsh", "alice@marsh.example", "Marsh Consulting"),
    ("Bob Tanaka", "btanaka@example.org", None),
    ("Carol Ng", "carol.ng@uni.example.edu", "University of Example"),
    ("Dmitri Volkov", "dv@volkov.example", None),
    ("Eve Lindqvist", "eve@lindqvist.example", "Lindqvist AB"),
    ("Frank O'Neill", "frank@oneill.example", None),
]

RUSSIAN_AUTHORS = [
    ("Сергей Петров", "petrov@spb.example", "Клуб любителей новостей"),
    ("Анна Кузнецова", "anna@kuz.example", None),
    ("Михаил Орлов", "orlov@msk.example", "НИИ Телеграфии"),
    ("Ольга Смирнова", "olga@smirnova.example", None),
]

# Each thread: subject, opening text, then the replies (author index, text). Replies quote the
# first lines of the article they answer.
THREADS = {
    "kestrova.demo.announce": [
        ("Kestrova 0.9 released", "Kestrova 0.9 is out.\n\nNew in this release:\n"
         "- group lists are cached per account\n- NEWNEWS is used for groups already seen\n"
         "- SOCKS 5 proxies with user name and password", []),
        ("Kestrova 0.9.1: bug-fix release", "A small fix release.\n\n"
         "- the cache file is written again after a refresh\n"
         "- articles with an empty Subject are listed", []),
        ("Demo server is up", "The demo server now carries a handful of groups with\n"
         "real-looking articles, ASCII and KOI8-R. Connect and browse.", []),
        ("Kestrova 1.0 release candidate", "The first release candidate of 1.0 is ready for\n"
         "testing. Please report problems in kestrova.demo.talk.\n\n"
         "Known issue: posting to a moderated group shows no confirmation.", []),
        ("Kestrova 1.0 released", "Kestrova 1.0 is released.\n\n"
         "Thanks to everyone who tested the release candidates.", []),
        ("Mailing list moved", "The announcement mailing list has moved. Subscribe with\n"
         "an empty message to announce-subscribe@kestrova.example.", []),
        ("Kestrova 1.0.1", "Fixes:\n- a group name with a plus sign is entered correctly\n"
         "- the log file no longer holds passwords", []),
        ("Russian language file updated", "The Russian language file has been reviewed;\n"
         "several messages read better now.", []),
        ("Kestrova 1.1 plans", "Planned for 1.1:\n\n1. overview-based listings\n"
         "2. a search over cached headers\n3. better threading", []),
        ("Server maintenance on Saturday", "The demo server will be down for about an hour on\n"
         "Saturday morning (UTC) for maintenance.", []),
    ],
    "kestrova.demo.talk": [
        ("How do I add a group?", "I connected to the demo server and the panel is empty.\n"
         "How do I get groups into it?", [
             (2, "Press F7, type a mask such as kestrova.* and press Enter.\n"
                 "Then select groups and press F7 again to add them."),
             (0, "Thanks, that worked. The first listing took a moment."),
             (3, "The first listing asks the server for the whole list with LIST.\n"
                 "Later ones only ask for groups created since then."),
         ]),
        ("Reading KOI8-R articles", "Articles in kestrova.demo.koi8 show as garbage here.\n"
         "Which setting do I need?", [
             (4, "Set the account's character table to KOI-8, or leave it on\n"
                 "the default: the Content-Type charset of each article decides."),
             (1, "It was the account setting. Fine now, thank you."),
         ]),
        ("Cache folder location", "Where does the group list cache live?", [
             (2, "In the Cache folder of your Kestrova home, one file per account."),
             (5, "And it is safe to delete: the next visit fetches the list again."),
             (0, "Good to know, mine had grown to a few megabytes."),
         ]),
        ("Posting through a SOCKS proxy", "Our office only lets traffic out through a SOCKS 5\n"
         "proxy. Does posting work through it?", [
             (3, "Yes, set the proxy in the options and tick 'use proxy' on\n"
                 "the account. Reading and posting both go through it."),
             (1, "Works with user name and password too."),
             (5, "SOCKS 4 also works if your proxy still speaks it."),
         ]),
        ("Strange lines in an article", "One article has lines like these in its body:\n\n"
         ".\n.leading dot\n..two dots\n200 OK from the server\n211 5 1 5 what?\n\n"
         "Does the reader show them correctly?", [
             (2, "It should: the lines above are just text. A line with a single dot\n"
                 "is doubled on the wire and undoubled when it is read."),
             (4, "Here they show exactly as you typed them."),
         ]),
        ("Keyboard shortcuts", "Is there a list of the keys of the news panel?", [
             (0, "F7 adds groups, F8 drops them, Ctrl-R refreshes the counts,\n"
                 "Ctrl-Alt-R reloads the list from the server."),
             (5, "And F4 in a group writes a reply, Shift-F4 a new article."),
             (2, "Shift-F3 shows just the header of an article."),
             (3, "Thanks all, printed and pinned to the monitor."),
         ]),
        ("Log file", "Can I see what the reader sends to the server?", [
             (1, "Turn on the log in the options. Each command and reply line\n"
                 "goes into the log file, passwords masked."),
             (4, "Level 3 also logs whole articles you post."),
         ]),
        ("", "Oops, this one went out before I wrote a subject line.", [
             (5, "Your article has no subject, did you mean to send it?"),
             (0, "No, sorry, pressed the wrong key."),
         ]),
    ],
    "comp.lang.c++.demo": [
        ("std::string_view lifetime question", "Is this safe?\n\n"
         "    std::string_view name() { return std::string(\"tmp\"); }\n\n"
         "My compiler does not warn.", [
             (2, "No. The string dies at the end of the full expression and the\n"
                 "view dangles. Return std::string instead."),
             (4, "Newer compilers warn with -Wdangling-gsl or similar."),
             (1, "Thanks, changed it to return std::string."),
         ]),
        ("Why does my loop never end?", "    for (unsigned i = 10; i >= 0; --i)\n"
         "        std::cout << i << '\\n';\n\nIt prints forever.", [
             (3, "An unsigned value is always >= 0. Count with an int, or\n"
                 "write the loop as: for (unsigned i = 11; i-- > 0;)"),
             (0, "-Wextra would have told you: 'comparison is always true'."),
         ]),
        ("Rule of zero", "When should I write a destructor myself?", [
             (5, "Almost never: hold resources in members that clean up after\n"
                 "themselves (std::unique_ptr, std::vector, std::string)."),
             (2, "The exception is a class whose whole job is to own a resource."),
             (1, "...and then write all five special members, or delete them."),
         ]),
        ("Ranges and views", "Can I chain filter and transform on a std::vector?", [
             (4, "With C++20:\n\n"
                 "    auto even_squares = v | std::views::filter(is_even)\n"
                 "                          | std::views::transform(square);"),
             (3, "Views are lazy; nothing happens until you iterate."),
         ]),
        ("Undefined behaviour in signed overflow", "Why is int overflow undefined but\n"
         "unsigned overflow wraps?", [
             (0, "Historical: machines differed in how they represented negative\n"
                 "numbers. Unsigned arithmetic was always modulo 2^n."),
             (2, "And compilers use the rule to optimise loops."),
             (5, "Build with -fsanitize=undefined to catch it at run time."),
         ]),
        ("Header-only or not?", "Is a header-only library slower to build?", [
             (1, "Every translation unit that includes it compiles it again, so\n"
                 "yes, builds get slower as the library grows."),
             (3, "Precompiled headers or modules help."),
         ]),
        ("Line endings in text protocols", "Parsing a network protocol with CR LF lines:\n"
         "should I accept a bare LF too?", [
             (4, "Be liberal in what you accept: strip a trailing CR if present."),
             (2, "But send CR LF yourself, always."),
             (0, "And test with input split at every byte: partial reads happen."),
         ]),
    ],
    "kestrova.demo.archive": [
        ("Welcome to the archive", "This group keeps old discussions. It is read-only.", [
            (1, "Is there a way to search it?"),
            (2, "Not yet; browse by date."),
        ]),
        ("First beta", "The first beta of the reader is available for testing.", [
            (3, "Installed it, the panel shows my accounts. Nice."),
            (5, "Crashes when the server is down, though."),
            (0, "Fixed in beta 2, thanks for the report."),
        ]),
        ("Feature request: threads", "Could the article list show threads?", [
            (4, "It is on the list for a later release."),
            (2, "Sorting by subject gets close enough for now."),
        ]),
        ("Old server address", "The old server address stops working next month.", [
            (1, "Noted, I changed my account."),
        ]),
    ],
}

RUSSIAN_THREADS = [
    ("Как настроить кодировку?", "Добрый день!\n\nСтатьи в этой группе показываются кракозябрами.\n"
     "Какую таблицу выбрать в настройках?", [
         (2, "Выберите KOI-8 для учётной записи или оставьте по умолчанию:\n"
             "кодировку возьмут из заголовка Content-Type."),
         (0, "Спасибо, заработало."),
         (3, "У меня тоже всё видно, если таблица стоит по умолчанию."),
     ]),
    ("Новая версия программы", "Вышла новая версия. Кто уже попробовал?", [
         (1, "Поставила вчера, списки групп грузятся заметно быстрее."),
         (2, "Кэш заголовков очень помогает на медленной линии."),
         (0, "А отправка через SOCKS 5 с паролем работает?"),
         (1, "Работает, проверено."),
     ]),
    ("Вопрос про шаблоны ответа", "Как сделать, чтобы в ответе цитировалось имя автора?", [
         (3, "В шаблоне ответа есть подстановка имени автора, посмотрите\n"
             "раздел шаблонов в настройках."),
         (0, "Нашёл, спасибо!"),
     ]),
    ("Длинные строки в статьях", "Некоторые статьи приходят с очень длинными строками.\n"
     "Можно ли их переносить при просмотре?", [
         (2, "Это делает программа просмотра, а не модуль новостей."),
         (1, "В редакторе можно включить перенос строк."),
     ]),
    ("Точки в начале строк", "Проверка:\n.\n.одна точка в начале\n..две точки\n"
     "220 три цифры в начале строки\n\nВсё ли дошло как есть?", [
         (3, "Всё дошло без изменений."),
         (0, "У меня тоже, строки с точками на месте."),
     ]),
    ("Привет всем", "Здравствуйте! Я новенький в этой группе.", [
         (1, "Добро пожаловать!"),
         (2, "Привет! Читайте старые статьи, там много полезного."),
     ]),
]

ASCII_CLOSINGS = ["", "", "Cheers", "Regards", "HTH", "Thanks"]
RUSSIAN_CLOSINGS = ["", "", "С уважением", "Всего доброго", "Пока"]


def encoded_word(text: str, charset: str, method: str) -> str:
    """RFC 2047 encoded word of text in charset, with the B or the Q encoding."""
    data = text.encode(charset)
    if method == "B":
        return f"=?{charset}?B?{base64.b64encode(data).decode()}?="
    safe = b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!*+-/"
    chars = "".join("_" if byte == 0x20 else chr(byte) if byte in safe else f"={byte:02X}"
                    for byte in data)
    return f"=?{charset}?Q?{chars}?="


def quote(text: str, lines: int = 2) -> str:
    quoted = [line for line in text.split("\n") if line.strip()][:lines]
    return "\n".join("> " + line for line in quoted)


class Writer:
    def __init__(self, root: str):
        self.root = root
        self.random = random.Random(20240305)
        self.counters = {}
        self.message_ids = {}  # (group, thread index, post index) -> Message-ID

    def next_number(self, group: str) -> int:
        self.counters[group] = self.counters.get(group, 0) + 1
        return self.counters[group]

    def write(self, groups: list, headers: list, body: str, charset: str):
        """Stores one article in each of its groups, with the Xref of all of them."""
        numbers = [(group, self.next_number(group)) for group in groups]
        xref = " ".join([HOST] + [f"{group}:{number}" for group, number in numbers])
        text = "".join(f"{name}: {value}\n" for name, value in headers + [("Xref", xref)])
        data = text.encode("ascii") + b"\n" + (body.rstrip("\n") + "\n").encode(charset)
        for group, number in numbers:
            folder = os.path.join(self.root, group)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, str(number)), "wb") as file:
                file.write(data)

    def thread(self, groups, index, subject, opening, replies, authors, start, koi8):
        """Writes a thread: the opening article and its replies, each answering the one before
        it or, now and then, the opening article."""
        charset = "koi8-r" if koi8 else "us-ascii"
        posts = [(self.random.randrange(len(authors)), opening)] + list(replies)
        moment = start
        chain = []
        for position, (author, text) in enumerate(posts):
            name, address, organization = authors[author % len(authors)]
            answers = None
            if position > 0:
                answers = 0 if self.random.random() < 0.3 else position - 1
                answers_author = authors[posts[answers][0] % len(authors)][0]
                text = f"{answers_author} wrote:\n{quote(posts[answers][1])}\n\n{text}" \
                    if not koi8 else f"{answers_author} пишет:\n{quote(posts[answers][1])}\n\n{text}"
            closings = RUSSIAN_CLOSINGS if koi8 else ASCII_CLOSINGS
            closing = self.random.choice(closings)
            body = text + (f"\n\n{closing},\n{name.split()[0]}" if closing else "")
            message_id = (f"<{groups[0].split('.')[-1]}.{index}.{position}."
                          f"{self.random.randrange(10**6):06d}@{address.split('@')[1]}>")
            chain.append(message_id)
            headers = self.headers(groups, name, address, organization, subject, position,
                                   moment, message_id, chain, answers, koi8, posts)
            if not (koi8 or position == 0 or self.random.random() < 0.7):
                headers = [(key, value) for key, value in headers if key != "Lines"]
            if groups[0] == "kestrova.demo.announce":
                headers.append(("Approved", "moderator@kestrova.example"))
            lines = body.rstrip("\n").count("\n") + 1
            headers = [(key, str(lines) if key == "Lines" else value) for key, value in headers]
            self.write(groups, headers, body, charset)
            moment += datetime.timedelta(minutes=self.random.randrange(20, 60 * 30))
        return moment

    def headers(self, groups, name, address, organization, subject, position, moment,
                message_id, chain, answers, koi8, posts):
        method = "B" if (len(chain) + len(subject)) % 2 else "Q"
        if koi8:
            shown_name = encoded_word(name, "koi8-r", method)
            shown_subject = encoded_word(("Re: " if position else "") + subject, "koi8-r", method)
            zone = datetime.timezone(datetime.timedelta(hours=3))
        else:
            shown_name = f'"{name}"' if "'" in name else name
            shown_subject = ("Re: " if position else "") + subject
            zone = datetime.timezone(datetime.timedelta(hours=self.random.choice([-5, 0, 1, 9])))
        headers = [
            ("Path", f"{HOST}!not-for-mail"),
            ("From", f"{shown_name} <{address}>"),
            ("Newsgroups", ",".join(groups)),
            ("Subject", shown_subject),
            ("Date", moment.astimezone(zone).strftime("%a, %d %b %Y %H:%M:%S %z")),
        ]
        if organization:
            headers.append(("Organization", encoded_word(organization, "koi8-r", "Q")
                            if koi8 else organization))
        headers.append(("Message-ID", message_id))
        if answers is not None:
            references = chain[:answers + 1]
            headers.append(("References", " ".join(references)))
            if koi8:
                replied_to = RUSSIAN_AUTHORS[posts[answers][0] % len(RUSSIAN_AUTHORS)][0]
                headers.append(("X-Comment-To", encoded_word(replied_to, "koi8-r", "B")))
        headers += [
            ("Lines", ""),
            ("MIME-Version", "1.0"),
            ("Content-Type", KOI8_TYPE if koi8 else ASCII_TYPE),
            ("Content-Transfer-Encoding", "8bit" if koi8 else "7bit"),
            ("X-Newsreader", "Kestrova 1.0"),
        ]
        return headers


def write_groups_file(root: str):
    with open(os.path.join(root, "groups"), "w", encoding="utf-8") as file:
        file.write("# name flag created(UTC) description\n")
        for name, flag, created, description in GROUPS:
            file.write(f"{name} {flag} {created} {description}\n")


def main(argv) -> int:
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "demo-news")
    if os.path.isdir(root):
        shutil.rmtree(root)
    os.makedirs(root)
    write_groups_file(root)
    writer = Writer(root)
    starts = {
        "kestrova.demo.announce": datetime.datetime(2023, 2, 1, 10, tzinfo=datetime.timezone.utc),
        "kestrova.demo.talk": datetime.datetime(2023, 6, 5, 8, tzinfo=datetime.timezone.utc),
        "comp.lang.c++.demo": datetime.datetime(2023, 9, 12, 14, tzinfo=datetime.timezone.utc),
        "kestrova.demo.archive": datetime.datetime(2019, 6, 2, 9, tzinfo=datetime.timezone.utc),
    }
    for group, threads in THREADS.items():
        moment = starts[group]
        for index, (subject, opening, replies) in enumerate(threads):
            moment = writer.thread([group], index, subject, opening, replies, ASCII_AUTHORS,
                                   moment, koi8=False)
            if group == "kestrova.demo.announce":
                moment += datetime.timedelta(days=writer.random.randrange(20, 60))
    moment = datetime.datetime(2024, 1, 15, 7, tzinfo=datetime.timezone.utc)
    for index, (subject, opening, replies) in enumerate(RUSSIAN_THREADS):
        moment = writer.thread(["kestrova.demo.koi8"], index, subject, opening, replies,
                               RUSSIAN_AUTHORS, moment, koi8=True)
    # One article crossposted to two groups: it carries both numbers in its Xref.
    writer.thread(["kestrova.demo.talk", "kestrova.demo.koi8"], 99,
                  "Crosspost test: talk and koi8", "This article is posted to two groups at once.",
                  [], ASCII_AUTHORS, moment, koi8=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
