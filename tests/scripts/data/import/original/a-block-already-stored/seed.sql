INSERT INTO field (file_name,dialogue_id,text_data) VALUES ('a.txt', 1, 'Old.');
