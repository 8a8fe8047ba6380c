"""The service's plain pages: the notice page, the updater's descriptor and
files, an error page like the one the real server gives, and the web site's
pages that the login window opens."""
import os

NOTICE_KEYS = ("type", "showtime", "title", "url", "width", "height")


# Notices of both types, named instead of spelt out; "{site}" stands for the
# root of the address the status page was asked at.
NOTICE_EXAMPLES = {
    "popup": {"type": 1, "showtime": 8, "url": "{site}notice.html", "width": 300, "height": 200},
    "question": {"type": 2, "title": "Quillmoor 有新的记账技巧，现在去看看吗？", "url": "{site}notice.html"},
}


def notice_block(notice, site=""):
    """The text between "[set]" and "[/set]"."""
    notice = NOTICE_EXAMPLES.get(notice, notice) if isinstance(notice, str) else notice
    if isinstance(notice, dict):
        notice = {k: str(v).replace("{site}", site) for k, v in notice.items()}
        keys = [k for k in NOTICE_KEYS if k in notice] + [k for k in notice if k not in NOTICE_KEYS]
        return " ".join('%s="%s"' % (k, notice[k]) for k in keys)
    return notice


def notice_page(notice, site=""):
    # The client drops the character just before "[/set]": a blank stands there.
    block = "" if notice is None else "[set]%s [/set]" % notice_block(notice, site)
    return ("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
            "<title>Quillmoor</title></head><body>\n<p>服务状态正常</p>\n%s\n</body></html>\n" % block)


def error_page(with_pipe):
    """An HTTP 500 page whose text before any "|" is far longer than a user
    name may be, as the client expects of a server failure."""
    separator = " | " if with_pipe else " - "
    return ("<html><head><title>500 - 内部服务器错误。</title></head><body>"
            "<h1>500 - 内部服务器错误。</h1><p>您查找的资源存在问题，因而无法显示。</p>"
            "<p>Microsoft VBScript 运行时错误 '800a000d'%s类型不匹配: 'CLng'</p>"
            "<p>/do/softcenter.asp, 行 42</p></body></html>" % separator)


ERROR_TITLES = {400: "错误的请求", 403: "禁止访问：访问被拒绝。", 404: "找不到文件或目录。",
                500: "内部服务器错误。", 503: "服务不可用。"}


def error_page_for(status, length=None):
    """An IIS-style error page for an HTTP status as GBK bytes; `length`
    pads it with blanks (or cuts it) to exactly that many bytes, as long as
    a listed file, so that only the status tells it apart."""
    title = "%d - %s" % (status, ERROR_TITLES.get(status, "服务器错误。"))
    data = ("<html><head><title>%s</title></head><body><h1>%s</h1>"
            "<p>您要查找的资源可能已被删除、已更改名称或者暂时不可用。</p></body></html>\r\n"
            % (title, title)).encode("gbk")
    if length is not None:
        data = (data + b" " * length)[:length]
    return data


def site_page(title):
    return ("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
            "<title>%s</title></head><body><h1>Quillmoor</h1><p>%s</p></body></html>\n" % (title, title))


def recommended_page():
    """The page a notice recommends: headings, paragraphs, a link and a
    picture, as such pages are."""
    return ("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
            "<title>Quillmoor 推荐</title></head><body>"
            "<h1>本月记账技巧</h1><p>把每一笔投资记下来，到期前就能看到回款。</p>"
            "<p><img src=\"banner.gif\" alt=\"banner\">详情请看<a href=\"index.html\">Quillmoor 首页</a>。</p>"
            "</body></html>\n")


# Under the root and under /do/: a page that never completes (the service
# keeps the connection open without a word until it stops).
NEVER_PAGE = "never.shtml"

SITE_PAGES = {
    "": "Quillmoor 本地服务",
    "index.html": "Quillmoor 本地服务",
    "getpassword.shtml": "找回密码",
    "register.shtml": "注册新账号",
}


def update_files(update_dir):
    """Every file below the folder except the descriptor, as (path, size),
    paths with "/" as the descriptor writes them."""
    found = []
    for folder, dirs, files in os.walk(update_dir):
        dirs.sort()
        for name in sorted(files):
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, update_dir).replace(os.sep, "/")
            if rel != "update.txt":
                found.append((rel, os.path.getsize(full)))
    return found


def update_descriptor(update_dir, newver, extra=()):
    """The descriptor of the folder's files; `extra` (path, size) entries
    follow them, listed as they are."""
    lines = ["[Update]", "newver=" + newver]
    files = update_files(update_dir) + [tuple(entry) for entry in extra]
    lines.append("checkfile=%d" % len(files))
    lines += ["file%d=%s|%d" % (i, rel, size) for i, (rel, size) in enumerate(files, 1)]
    lines.append("[/Update]")
    return "\r\n".join(lines) + "\r\n"


def update_file_path(update_dir, rel):
    """The file under the folder that `rel` names, or None when it names
    nothing there (no way out of the folder)."""
    parts = rel.split("/")
    if any(part in ("", ".", "..") or "\\" in part or ":" in part for part in parts):
        return None
    path = os.path.join(update_dir, *parts)
    root = os.path.realpath(update_dir)
    if not os.path.realpath(path).startswith(root + os.sep) or not os.path.isfile(path):
        return None
    return path
