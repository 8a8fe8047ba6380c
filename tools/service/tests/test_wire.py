import datetime
import unittest

from wire import (decode_body, encode_body, leading_number, money_text, number_text, parse_date,
                  session_token, to_int32)


class BodyDecoding(unittest.TestCase):
    def test_cases(self):
        cases = [
            # raw body, expected fields
            (b"do=list&username=demo", {"do": "list", "username": "demo"}),
            (b"v1=%BC%C7%D5%CB&v2=a%20b%2Bc", {"v1": "记账", "v2": "a b+c"}),
            (b"v2=a+b", {"v2": "a+b"}),  # "+" is no space here
            (b"v12=x%26y%3Dz%25%23", {"v12": "x&y=z%#"}),
            (b"v12=fish&chips&v16=0", {"v12": "fish&chips", "v16": "0"}),  # raw "&" kept
            (b"v12=a=b", {"v12": "a=b"}),  # split at the first "=" only
            (b"v12=100%&v16=%zz", {"v12": "100%", "v16": "%zz"}),  # "%" without two hex digits
            (b"session=1&session=2&do=x&do=y", {"session": "2", "do": "x"}),
            (b"", {"": ""}),
        ]
        for raw, expected in cases:
            with self.subTest(raw=raw):
                form = decode_body(raw)
                self.assertEqual(form.as_dict(), expected)
                self.assertEqual(form.broken, [])

    def test_broken_code_page_bytes_are_reported(self):
        form = decode_body(b"do=add&v1=%FF%FF&v2=ok")
        self.assertEqual(form.broken, ["v1"])
        self.assertEqual(form.get("v2"), "ok")

    def test_round_trip_of_the_client_encoding(self):
        fields = [("v1", "陆金所 & co=1%+#"), ("v12", "备注:第二行\r\n")]
        body = encode_body(fields)
        self.assertTrue(body.startswith(b"v1=%C2%BD%BD%F0%CB%F9%20%26%20co%3D1%25%2B%23&"))
        self.assertEqual(decode_body(body).as_dict(), dict(fields))


class Token(unittest.TestCase):
    def test_known_values(self):
        constant = 0x51A3C7E
        cases = [
            (datetime.datetime(2015, 1, 1, 0, 0, 0), 0 + 2015 + 1 + 1 + constant),
            (datetime.datetime(2015, 1, 2, 0, 0, 1), 86401 + 2015 + 1 + 2 + constant),
            (datetime.datetime(2026, 12, 10, 13, 5, 9, 999999),
             int((datetime.datetime(2026, 12, 10, 13, 5, 9) - datetime.datetime(2015, 1, 1)).total_seconds())
             + 2026 + 12 + 10 + constant),
        ]
        for moment, expected in cases:
            with self.subTest(moment=moment):
                self.assertEqual(session_token(moment), expected)

    def test_date_parts_come_from_today_not_from_the_moment(self):
        moment = datetime.datetime(2020, 5, 5, 12, 0, 0)
        self.assertEqual(session_token(moment, datetime.date(2020, 5, 6)) - session_token(moment), 1)

    def test_wraps_as_signed_32_bit(self):
        self.assertEqual(to_int32(2 ** 31), -2 ** 31)
        self.assertLess(session_token(datetime.datetime(2083, 1, 1)), 0)


class Texts(unittest.TestCase):
    def test_numbers_and_dates(self):
        self.assertEqual([money_text(c) for c in (0, 5, 120, 123456, -250, 1000000)],
                         ["0", "0.05", "1.2", "1234.56", "-2.5", "10000"])
        self.assertEqual([number_text(x) for x in (9.5, 12.0, 7.126, -0.001)], ["9.5", "12", "7.13", "0"])
        self.assertEqual(parse_date("2015-12-3"), datetime.date(2015, 12, 3))
        self.assertEqual(parse_date("2015/02/30"), None)
        self.assertEqual(parse_date("2015-1-5 0:00:00"), datetime.date(2015, 1, 5))
        self.assertEqual([leading_number(t) for t in ("1.10", "1.4abc", "", "abc", "-1")],
                         [1.1, 1.4, 0.0, 0.0, -1.0])


if __name__ == "__main__":
    unittest.main()
