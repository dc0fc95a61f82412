INSERT INTO battling_arena (file_name,dialogue_id,translated) VALUES ('a.txt', 1, 0);
INSERT INTO battling_arena (file_name,dialogue_id,translated) VALUES ('b.txt', 2, 0);
INSERT INTO battling_arena (file_name,dialogue_id,translated) VALUES ('z.txt', 1, 0);
INSERT INTO field (file_name,dialogue_id,translated) VALUES ('0012.txt', 2, 0);
