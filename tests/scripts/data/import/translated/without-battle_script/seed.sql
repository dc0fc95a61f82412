INSERT INTO field VALUES ('0012.txt', 1, 'Hello.', 24, 2, 'note', 1, 1, 'old', 30, 4);
INSERT INTO field VALUES ('0012.txt', 2, 'Hello.', 24, 2, 'note', 1, 1, 'old', 30, 4);
